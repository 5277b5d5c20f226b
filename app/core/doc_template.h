#pragma once
// The document-template side of the application: opening a file as the document (and
// recording it among the recent files) and the new document. No Qt here, so the whole opening
// road can be tested without a display.

#include <string>

#include "Doc.h"
#include "recent_files.h"

namespace tv {

// One document for the life of the program; every open reuses it.
class CSingleDocTemplate {
 public:
  CSingleDocTemplate(CTickvaneDoc& doc, RecentFileList& recent);

  // Opens path (made absolute) as the document. On success the path becomes the document's
  // path name and the top of the recent-file list. Returns the document's verdict.
  bool OpenDocumentFile(const std::string& path);
  // Opens entry `index` of the recent-file list; an entry that fails to open is dropped.
  bool OpenRecentFile(int index);
  bool NewDocument();

  CTickvaneDoc& document() { return m_doc; }
  RecentFileList& recentFiles() { return m_recent; }

 private:
  CTickvaneDoc& m_doc;
  RecentFileList& m_recent;
};

// path made absolute against the current directory (not resolved through links).
std::string FullPath(const std::string& path);

}  // namespace tv
