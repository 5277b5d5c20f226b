#include "doc_template.h"

#include <filesystem>

namespace tv {

std::string FullPath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

CSingleDocTemplate::CSingleDocTemplate(CTickvaneDoc& doc, RecentFileList& recent)
    : m_doc(doc), m_recent(recent) {}

bool CSingleDocTemplate::OpenDocumentFile(const std::string& path) {
  const std::string full = FullPath(path);
  if (!m_doc.OnOpenDocument(full)) return false;
  m_doc.SetPathName(full);
  m_recent.Add(full);
  return true;
}

bool CSingleDocTemplate::OpenRecentFile(int index) {
  const auto& entries = m_recent.entries();
  if (index < 0 || index >= static_cast<int>(entries.size())) return false;
  const std::string path = entries[static_cast<size_t>(index)];
  if (OpenDocumentFile(path)) return true;
  m_recent.Remove(index);
  return false;
}

bool CSingleDocTemplate::NewDocument() { return m_doc.OnNewDocument(); }

}  // namespace tv
