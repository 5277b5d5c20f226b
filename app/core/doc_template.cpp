#include "doc_template.h"

#include <algorithm>
#include <filesystem>

namespace tv {

std::string FullPath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

RecentFileList::RecentFileList(Profile& profile, int size) : m_profile(profile), m_size(size) {}

void RecentFileList::ReadList() {
  m_entries.clear();
  for (int i = 1; i <= m_size; ++i) {
    std::string path = m_profile.ReadText(kSection, "File" + std::to_string(i), "");
    if (!path.empty()) m_entries.push_back(std::move(path));
  }
}

void RecentFileList::Add(const std::string& path) {
  if (path.empty()) return;
  std::erase(m_entries, path);
  m_entries.insert(m_entries.begin(), path);
  if (m_entries.size() > static_cast<size_t>(m_size)) m_entries.resize(static_cast<size_t>(m_size));
  WriteList();
}

void RecentFileList::Remove(int index) {
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return;
  m_entries.erase(m_entries.begin() + index);
  WriteList();
}

void RecentFileList::WriteList() {
  for (int i = 0; i < m_size; ++i) {
    const std::string value =
        i < static_cast<int>(m_entries.size()) ? m_entries[static_cast<size_t>(i)] : "";
    m_profile.WriteText(kSection, "File" + std::to_string(i + 1), value);
  }
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
