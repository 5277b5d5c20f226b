#include "file_follower.h"

#include <QFileInfo>

#include "Doc.h"
#include "bars.h"

namespace tv {

CFileFollower::CFileFollower(CTickvaneDoc& doc, QObject* parent) : QObject(parent), m_doc(doc) {
  m_quiet.setSingleShot(true);
  m_quiet.setInterval(kQuietMilliseconds);
  connect(&m_quiet, &QTimer::timeout, this, [this] { Settle(); });
  connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
    const std::string changed = path.toStdString();
    bool index = false;
    for (const std::string& file : m_files.index) index = index || file == changed;
    Changed(index);
  });
  // Something was created, removed or renamed beside the files: a file renamed into place
  // shows only here, and may be MASTER itself.
  connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
          [this](const QString&) { Changed(true); });
}

void CFileFollower::Changed(bool index) {
  m_indexChanged = m_indexChanged || index;
  if (!m_quiet.isActive()) m_firstChange.start();
  // Each change starts the quiet moment again, unless changes have kept coming for long.
  if (!m_quiet.isActive() || m_firstChange.elapsed() < kLongestWaitMilliseconds) m_quiet.start();
}

void CFileFollower::Follow() {
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

void CFileFollower::Watch(const FollowedFiles& files) {
  m_files = files;
  QStringList wanted;
  for (const auto* list : {&files.index, &files.data, &files.directories})
    for (const std::string& path : *list) {
      const QString name = QString::fromStdString(path);
      // A path that does not exist cannot be watched; its directory tells when it comes.
      if (QFileInfo::exists(name)) wanted.push_back(name);
    }
  QStringList gone;
  for (const QString& path : m_watcher.files() + m_watcher.directories())
    if (!wanted.contains(path)) gone.push_back(path);
  if (!gone.isEmpty()) m_watcher.removePaths(gone);
  QStringList added;
  const QStringList watched = Watched();
  for (const QString& path : wanted)
    if (!watched.contains(path)) added.push_back(path);
  if (!added.isEmpty()) m_watcher.addPaths(added);
}

QStringList CFileFollower::Watched() const { return m_watcher.files() + m_watcher.directories(); }

void CFileFollower::Settle() {
  ++m_settles;
  CBars& bars = m_doc.GetBars();
  bool changed = false;
  if (m_indexChanged) {
    m_indexChanged = false;
    // Names and positions may have changed even where the current security did not.
    changed = bars.RereadSecurityList() == 0;
  }
  changed = bars.RereadCurrentSecurity() == CBars::Reread::Changed || changed;
  // A file replaced by a rename is a new file, while the watcher may still hold the old
  // one under its name: every file is watched afresh.
  if (!m_watcher.files().isEmpty()) m_watcher.removePaths(m_watcher.files());
  m_key.clear();
  Follow();
  if (changed) m_doc.UpdateAllViews();
}

}  // namespace tv
