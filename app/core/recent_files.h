#pragma once
// The recent-file list of the File menu, kept in the settings file.

#include <string>
#include <string_view>
#include <vector>

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

}  // namespace tv
