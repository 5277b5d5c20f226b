#pragma once
// The settings file realised as an INI file through QSettings.

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "profile.h"

class QSettings;

namespace tv {

class QtProfile final : public Profile {
 public:
  // Settings files are a few hundred bytes; one larger than this was not written by this
  // program and would cost its size in memory and seconds of parsing: it is never read.
  static constexpr qint64 kMaxFileSize = 1 << 20;

  // The file at `path`; created on the first write if it does not exist. Anything there but a
  // regular file (a FIFO, a device, a directory), or a file larger than kMaxFileSize, is never
  // opened and counts as unreadable; it is never written either.
  explicit QtProfile(const QString& path);
  ~QtProfile() override;

  // Where the settings live unless the command line names another file:
  // <user configuration directory>/Tickvane/Tickvane.ini.
  static QString DefaultPath();
  // A settings file's path given as bytes (the command line's); nothing when Qt cannot name
  // that file (bytes that are not UTF-8), as a settings file must be named.
  static std::optional<QString> FromBytes(const std::string& path);

  int ReadInt(std::string_view section, std::string_view key, int fallback) override;
  std::string ReadText(std::string_view section, std::string_view key,
                       std::string_view fallback) override;
  bool WriteInt(std::string_view section, std::string_view key, int value) override;
  bool WriteText(std::string_view section, std::string_view key, std::string_view value) override;

  void Refresh() override;
  std::string FilePath() const override;
  void Abandon() override;

  QString path() const;

 private:
  // The file's settings, made on first use; null while the path names anything but a
  // regular file.
  QSettings* Settings();

  QString path_;
  std::unique_ptr<QSettings> settings_;
  bool abandoned_ = false;
};

}  // namespace tv
