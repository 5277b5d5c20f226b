#pragma once
// The settings file realised as an INI file through QSettings.

#include <QString>
#include <memory>

#include "profile.h"

class QSettings;

namespace tv {

class QtProfile final : public Profile {
 public:
  // The file at `path`; created on the first write if it does not exist. Anything there but a
  // regular file (a FIFO, a device, a directory) is never opened and counts as unreadable.
  explicit QtProfile(const QString& path);
  ~QtProfile() override;

  // Where the settings live unless the command line names another file:
  // <user configuration directory>/Tickvane/Tickvane.ini.
  static QString DefaultPath();

  int ReadInt(std::string_view section, std::string_view key, int fallback) override;
  std::string ReadText(std::string_view section, std::string_view key,
                       std::string_view fallback) override;
  bool WriteInt(std::string_view section, std::string_view key, int value) override;
  bool WriteText(std::string_view section, std::string_view key, std::string_view value) override;

  void Refresh() override;

  QString path() const;

 private:
  // The file's settings, made on first use; null while the path names anything but a
  // regular file.
  QSettings* Settings();

  QString path_;
  std::unique_ptr<QSettings> settings_;
};

}  // namespace tv
