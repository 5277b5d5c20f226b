#include "qt_profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

namespace {

QString Key(std::string_view section, std::string_view key) {
  return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
         QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

namespace tv {

QtProfile::QtProfile(const QString& path) : path_(path) {}

QSettings* QtProfile::Settings() {
  // Only a regular file is read: opening a FIFO waits for a writer that may never come, and a
  // device may never end. Anything else at the path counts as a file that cannot be read, and
  // so does a file far larger than any settings this program writes.
  if (abandoned_) return nullptr;
  const QFileInfo info(path_);
  if (info.exists() && (!info.isFile() || info.size() > kMaxFileSize)) return nullptr;
  if (!settings_) settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
  return settings_.get();
}

QtProfile::~QtProfile() = default;

QString QtProfile::DefaultPath() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  if (base.isEmpty()) base = QDir::homePath() + "/.config";
  return base + "/Tickvane/Tickvane.ini";
}

std::optional<QString> QtProfile::FromBytes(const std::string& path) {
  const QByteArray bytes = QByteArray::fromStdString(path);
  QString name = QFile::decodeName(bytes);
  if (QFile::encodeName(name) != bytes) return std::nullopt;
  return name;
}

QString QtProfile::path() const { return path_; }

std::string QtProfile::FilePath() const { return QFile::encodeName(path_).toStdString(); }

void QtProfile::Abandon() {
  abandoned_ = true;
  settings_.reset();  // QSettings writes pending changes when it goes: there are none
}

// QSettings re-reads a file that changed on disk when it syncs.
void QtProfile::Refresh() {
  if (QSettings* settings = Settings()) settings->sync();
}

int QtProfile::ReadInt(std::string_view section, std::string_view key, int fallback) {
  QSettings* settings = Settings();
  if (settings == nullptr) return fallback;
  const QVariant stored = settings->value(Key(section, key));
  // A value QSettings reads as a list (text with commas) or anything else that is not plain
  // text is not a number we wrote.
  if (!stored.isValid() || stored.typeId() != QMetaType::QString) return fallback;
  const QByteArray text = stored.toString().toUtf8();
  int value = fallback;
  if (!ParseProfileInt(std::string_view(text.constData(), static_cast<size_t>(text.size())), value))
    return fallback;
  return value;
}

std::string QtProfile::ReadText(std::string_view section, std::string_view key,
                                std::string_view fallback) {
  QSettings* settings = Settings();
  if (settings == nullptr) return std::string(fallback);
  const QVariant stored = settings->value(Key(section, key));
  if (!stored.isValid()) return std::string(fallback);
  // A text with commas comes back as a list; join it again so the caller sees what is stored.
  const QString text = stored.typeId() == QMetaType::QStringList ? stored.toStringList().join(',')
                                                                 : stored.toString();
  return text.toStdString();
}

bool QtProfile::WriteInt(std::string_view section, std::string_view key, int value) {
  return WriteText(section, key, std::to_string(value));
}

bool QtProfile::WriteText(std::string_view section, std::string_view key, std::string_view value) {
  if (abandoned_) return false;
  QDir().mkpath(QFileInfo(path_).absolutePath());
  QSettings* settings = Settings();
  if (settings == nullptr) return false;
  settings->setValue(Key(section, key),
                     QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
  settings->sync();
  return settings->status() == QSettings::NoError;
}

}  // namespace tv
