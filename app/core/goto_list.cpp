#include "goto_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ascii.h"
#include "bars.h"
#include "quote_file.h"

namespace tv {

namespace {

// Letters fold as the quote library folds names; the comparison is of unsigned bytes.
unsigned char Fold(char c) { return static_cast<unsigned char>(FoldAscii(c)); }

}  // namespace

int GoToSortFromProfile(int stored) {
  return stored >= kSortMaster && stored <= kSortName ? stored : kSortMaster;
}

std::string GoToFolderEntry(std::string_view folder) {
  return GoToEntry(std::string(folder) + "/ ", kFolderName);
}

std::string ParentMaster(const CBars& bars) {
  if (!bars.IsExtended() || bars.m_masterPath.empty()) return {};
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder = fs::absolute(fs::path(bars.m_masterPath), error).parent_path();
  const fs::path parent = folder.parent_path();
  if (error || parent.empty() || parent == folder) return {};
  std::string master = ResolveInDirectory(NormaliseDirectory(parent.string()), "MASTER");
  return fs::is_regular_file(master, error) ? master : std::string();
}

std::string GoToEntry(std::string_view symbol, std::string_view name) {
  std::string entry;
  entry.reserve(symbol.size() + 1 + name.size());
  entry.append(symbol);
  entry += '\t';
  entry.append(name);
  return entry;
}

int CompareGoToKeys(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = Fold(a[i]);
    const unsigned char cb = Fold(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string_view ExistingEntryKey(std::string_view entry, int sort) {
  if (sort == kSortSymbol) {
    const std::size_t blank = entry.find(' ');
    return blank == std::string_view::npos ? entry : entry.substr(0, blank);
  }
  const std::size_t tab = entry.find('\t');
  return tab == std::string_view::npos ? std::string_view() : entry.substr(tab + 1);
}

void InsertGoToEntry(std::vector<std::string>& list, std::string entry, std::string_view key,
                     int sort) {
  auto at = list.end();
  if (sort == kSortSymbol || sort == kSortName) {
    at = std::find_if(list.begin(), list.end(), [&](const std::string& existing) {
      return CompareGoToKeys(ExistingEntryKey(existing, sort), key) > 0;
    });
  }
  list.insert(at, std::move(entry));
}

namespace {

// Extended reading lists thousands of securities, where inserting each entry in turn would
// cost a quadratic number of comparisons: the entries are sorted once, by their own keys,
// equal keys keeping list order.
GoToList BuildLargeGoToList(const CBars& bars, int sort) {
  struct Item {
    std::string key;
    std::string entry;
  };
  std::vector<Item> items;
  items.reserve(static_cast<std::size_t>(std::max(bars.m_count, 0)));
  GoToList list;
  for (int i = 0; i < bars.m_count; ++i) {
    if (bars.IsDirectoryEntry(i)) {
      const std::string folder = bars.DirectoryEntryName(i);
      items.push_back(
          {sort == kSortName ? std::string(kFolderName) : folder + '/', GoToFolderEntry(folder)});
      continue;
    }
    const char* symbol = bars.GetSymbol(i);
    const char* name = bars.GetName(i);
    const std::string_view s = symbol ? symbol : "";
    const std::string_view n = name ? name : "";
    items.push_back({std::string(sort == kSortName ? n : s), GoToEntry(s, n)});
    if (i == bars.m_current) list.currentEntry = items.back().entry;
  }
  if (sort == kSortSymbol || sort == kSortName) {
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
      return CompareGoToKeys(a.key, b.key) < 0;
    });
  }
  list.entries.reserve(items.size() + 1);
  if (!ParentMaster(bars).empty()) list.entries.emplace_back(kGoToUpEntry);
  for (auto& item : items) list.entries.push_back(std::move(item.entry));
  return list;
}

}  // namespace

GoToList BuildGoToList(const CBars& bars, int sort) {
  if (bars.IsExtended()) return BuildLargeGoToList(bars, sort);
  GoToList list;
  const int count = std::clamp(bars.m_count, 0, kMaxSymbols);
  list.entries.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const char* symbol = bars.GetSymbol(i);
    const char* name = bars.GetName(i);
    const std::string_view s = symbol ? symbol : "";
    const std::string_view n = name ? name : "";
    std::string entry = GoToEntry(s, n);
    if (i == bars.m_current) list.currentEntry = entry;
    InsertGoToEntry(list.entries, std::move(entry), sort == kSortName ? n : s, sort);
  }
  return list;
}

int FindGoToEntry(const std::vector<std::string>& entries, std::string_view text) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string_view entry = entries[i];
    if (entry.size() >= text.size() && CompareGoToKeys(entry.substr(0, text.size()), text) == 0)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tv
