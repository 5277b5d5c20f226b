#pragma once
// The document-template side of the application: opening a file as the document, the new
// document, and the recent-file list kept in the settings file. No Qt here, so the whole
// opening road can be tested without a display.

#include <string>
#include <vector>

#include "Doc.h"
#include "messages.h"
#include "profile.h"

namespace tv {

// The most recently opened files, newest first, kept in the settings file.
class RecentFileList {
 public:
  static constexpr std::string_view kSection = "RecentFileList";

  RecentFileList(Profile& profile, int size);
  // Reads the entries from the settings file (keys File1 .. FileN; empty ones skipped).
  void ReadList();
  // Moves or adds path to the top and writes the list back.
  void Add(const std::string& path);
  void Remove(int index);
  const std::vector<std::string>& entries() const { return m_entries; }
  int size() const { return m_size; }

 private:
  void WriteList();

  Profile& m_profile;
  int m_size;
  std::vector<std::string> m_entries;
};

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
