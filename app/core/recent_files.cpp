#include "recent_files.h"

#include <algorithm>

namespace tv {

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

}  // namespace tv
