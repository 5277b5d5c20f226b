#pragma once
// Follows the open database while other programs write it: a downloader appends the day's
// bars to a data file, rewrites one and renames it into place, or adds securities to MASTER.
// After a quiet moment the list and the current security are read again and the chart
// follows, without a word to the user about files caught in the middle of being written.

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <string>

#include "live_files.h"

namespace tv {

class CTickvaneDoc;

class CFileFollower final : public QObject {
 public:
  // Changes come in bursts; the files are read once none has come for this long.
  static constexpr int kQuietMilliseconds = 250;
  // A stream of changes that never pauses is still followed this often.
  static constexpr int kLongestWaitMilliseconds = 1000;

  explicit CFileFollower(CTickvaneDoc& doc, QObject* parent = nullptr);

  // Watches the files the chart stands on now. Cheap when the open database and the current
  // security are those of the last call; run whenever the program goes idle.
  void Follow();
  // The quiet moment has come: reads what changed again and repaints when the chart did.
  void Settle();

  QStringList Watched() const;
  // How many times the files were read again: tests wait for it.
  int Settles() const { return m_settles; }

 private:
  void Changed(bool index);
  void Watch(const FollowedFiles& files);

  CTickvaneDoc& m_doc;
  QFileSystemWatcher m_watcher;
  QTimer m_quiet;
  QElapsedTimer m_firstChange;
  FollowedFiles m_files;
  std::string m_key;
  bool m_indexChanged = false;
  int m_settles = 0;
};

}  // namespace tv
