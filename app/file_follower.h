#pragma once
// Follows the open database while other programs write it: a downloader appends the day's
// bars to a data file, rewrites one and renames it into place, or adds securities to MASTER.
// After a quiet moment the list and the current security are read again and the chart
// follows, without a word to the user about files caught in the middle of being written.
// A sync tool may replace the whole directory (delete and copy back, or rename a new copy into
// place): the directory's parent tells, and the watches are set on the new one. Where watches
// cannot be set (the system's limit, permissions), the files are looked at every two seconds.

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <string>

#include "followed_files.h"

namespace tv {

class CTickvaneDoc;

class FileFollower : public QObject {
 public:
  // Changes come in bursts; the files are read once none has come for this long.
  static constexpr int kQuietMilliseconds = 250;
  // A stream of changes that never pauses is still followed this often.
  static constexpr int kLongestWaitMilliseconds = 1000;
  // How often the files are looked at when they cannot be watched.
  static constexpr int kPollMilliseconds = 2000;

  explicit FileFollower(CTickvaneDoc& doc, QObject* parent = nullptr);
  ~FileFollower() override = default;
  FileFollower(const FileFollower&) = delete;
  FileFollower& operator=(const FileFollower&) = delete;

  // Watches the files the chart stands on now. Cheap when the open database and the current
  // security are those of the last call; run whenever the program goes idle.
  void Follow();
  // The quiet moment has come: reads what changed again and repaints when the chart did.
  void Settle();

  QStringList Watched() const;
  // How many times the files were read again: tests wait for it.
  int Settles() const { return m_settles; }
  // What the status bar should say about following: the database directory is gone, or the
  // files are looked at instead of watched; empty when all is well.
  const std::string& Notice() const { return m_notice; }
  // Looks at the files as the two-second timer does: a change since the last look is read.
  void Poll();
  bool Polling() const { return m_poll.isActive(); }

 protected:
  // Watches these paths; false when any could not be watched. Tests stand in a failure.
  virtual bool AddWatches(const QStringList& paths);

 private:
  void Changed(bool index);
  void Watch(const FollowedFiles& files);

  CTickvaneDoc& m_doc;
  QFileSystemWatcher m_watcher;
  QTimer m_quiet;
  QTimer m_poll;
  QElapsedTimer m_firstChange;
  FollowedFiles m_files;
  std::vector<FileStamp> m_stamps;  // the followed paths as Watch or the last Poll saw them
  std::string m_notice;
  std::string m_key;
  bool m_indexChanged = false;
  int m_settles = 0;
};

}  // namespace tv
