#include "file_follower.h"

#include <QFileInfo>
#include <algorithm>

#include "Doc.h"
#include "bars.h"

namespace tv {

FileFollower::FileFollower(CTickvaneDoc& doc, QObject* parent) : QObject(parent), m_doc(doc) {
  m_quiet.setSingleShot(true);
  m_quiet.setInterval(kQuietMilliseconds);
  connect(&m_quiet, &QTimer::timeout, this, [this] { Settle(); });
  m_poll.setInterval(kPollMilliseconds);
  connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
  connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
    const std::string changed = path.toStdString();
    bool index = false;
    for (const std::string& file : m_files.index) index = index || file == changed;
    Changed(index);
  });
  // Something was created, removed or renamed beside the files: a file renamed into place
  // shows only here, and may be MASTER itself. Beside the directories themselves only their
  // own replacement counts, not the comings and goings of their neighbours.
  connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
    const std::string changed = path.toStdString();
    const bool beside =
        std::find(m_files.parents.begin(), m_files.parents.end(), changed) != m_files.parents.end();
    if (!beside || DirectoriesReplaced(m_files, m_stamps)) Changed(true);
  });
}

void FileFollower::Changed(bool index) {
  m_indexChanged = m_indexChanged || index;
  if (!m_quiet.isActive()) m_firstChange.start();
  // Each change starts the quiet moment again, unless changes have kept coming for long.
  if (!m_quiet.isActive() || m_firstChange.elapsed() < kLongestWaitMilliseconds) m_quiet.start();
}

void FileFollower::Follow() {
  const CBars& bars = m_doc.GetBars();
  std::string key = bars.m_masterPath;
  key += '\n';
  key += std::to_string(bars.m_current);
  key += '\n';
  key += bars.m_pathValid && (bars.IsExtended() ? bars.m_current < bars.m_count : true)
             ? bars.CurrentSymbol()
             : "";
  key += bars.IsExtended() ? "\nx" : "\nc";
  if (key == m_key) return;
  m_key = std::move(key);
  Watch(FilesToFollow(bars));
}

void FileFollower::Watch(const FollowedFiles& files) {
  m_files = files;
  m_stamps = StampFollowedFiles(files);
  // Every path afresh: one replaced by a rename is a new file while the watcher may still
  // hold the old one under its name, and a directory replaced whole takes its watches along.
  const QStringList watched = Watched();
  if (!watched.isEmpty()) m_watcher.removePaths(watched);
  QStringList wanted;
  for (const auto* list : {&files.index, &files.data, &files.directories, &files.parents})
    for (const std::string& path : *list) {
      const QString name = QString::fromStdString(path);
      // A path that does not exist cannot be watched; its directory tells when it comes.
      if (QFileInfo::exists(name)) wanted.push_back(name);
    }
  // Nothing to watch while a database is open (its folder and the folder above it gone) is
  // no better than watches that cannot be set.
  const bool watching = files.index.empty() || (!wanted.isEmpty() && AddWatches(wanted));
  if (watching)
    m_poll.stop();
  else if (!m_poll.isActive())
    m_poll.start();
  const bool gone =
      !files.directories.empty() && !m_stamps[files.index.size() + files.data.size()].exists;
  if (gone)
    m_notice = "The database folder " + files.directories.front() +
               " is gone; the chart stays as it was until the folder is back";
  else if (!watching)
    m_notice = "The database's files cannot be watched here; they are looked at every 2 seconds";
  else
    m_notice.clear();
}

bool FileFollower::AddWatches(const QStringList& paths) {
  return m_watcher.addPaths(paths).isEmpty();
}

void FileFollower::Poll() {
  std::vector<FileStamp> stamps = StampFollowedFiles(m_files);
  if (stamps == m_stamps) return;
  m_stamps = std::move(stamps);
  Changed(true);
}

QStringList FileFollower::Watched() const { return m_watcher.files() + m_watcher.directories(); }

void FileFollower::Settle() {
  ++m_settles;
  CBars& bars = m_doc.GetBars();
  bool changed = false;
  if (m_indexChanged) {
    m_indexChanged = false;
    // Names and positions may have changed even where the current security did not.
    changed = bars.RereadSecurityList() == 0;
  }
  changed = bars.RereadCurrentSecurity() == CBars::Reread::Changed || changed;
  m_key.clear();
  Follow();
  if (changed) m_doc.UpdateAllViews();
}

}  // namespace tv
