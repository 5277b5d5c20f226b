#pragma once
// The Go To list without a window: its entries, their order and the search for an entry by
// its beginning. The dialog shows what these functions build, so the ordering rules can be
// checked exactly.

#include <string>
#include <string_view>
#include <vector>

class CBars;

namespace tv {

// The three orders of the list, as stored under "GoToDialog" / "Sorting".
enum GoToSort : int { kSortMaster = 0, kSortSymbol = 1, kSortName = 2 };

inline constexpr std::string_view kGoToSection = "GoToDialog";
inline constexpr std::string_view kGoToSortKey = "Sorting";

// A stored order the dialog cannot show (a hand edit, a damaged file) is read as master file
// order, the order with no key at all.
int GoToSortFromProfile(int stored);

// "symbol<TAB>name".
std::string GoToEntry(std::string_view symbol, std::string_view name);
// How extended reading lists a directory entry: as a folder, its name with a trailing "/ "
// (the blank keeps it apart from the name column however long it is) where a symbol stands
// and "(folder)" where a name stands. Choosing it opens the folder.
inline constexpr std::string_view kFolderName = "(folder)";
std::string GoToFolderEntry(std::string_view folder);
// The first entry of an extended list opened from a folder below a database: choosing it
// opens the folder above.
inline constexpr std::string_view kGoToUpEntry = "../ \t(up)";
// The MASTER of the folder above the open one, when extended reading is on and that folder
// has one; empty otherwise.
std::string ParentMaster(const CBars& bars);

// Compares two keys without regard to case: A-Z fold to a-z and nothing else does, then the
// characters compare by unsigned code, and a key that is a prefix of the other is the smaller.
// Returns <0, 0 or >0.
int CompareGoToKeys(std::string_view a, std::string_view b);

// The key an entry already in the list is compared by: for the symbol order its text up to
// its first blank (so it runs on past the tab into the name), for the name order its text
// after the first tab.
std::string_view ExistingEntryKey(std::string_view entry, int sort);

// Inserts `entry`, whose own key is `key`, before the first entry whose key compares greater;
// appends it when there is none. Any order but symbol or name appends.
void InsertGoToEntry(std::vector<std::string>& list, std::string entry, std::string_view key,
                     int sort);

struct GoToList {
  std::vector<std::string> entries;
  std::string currentEntry;  // the current security's entry
};

// Every security of the chart's list in the given order, one entry each.
GoToList BuildGoToList(const CBars& bars, int sort);

// The first entry from the top that begins with `text` (case folded as above), or -1.
int FindGoToEntry(const std::vector<std::string>& entries, std::string_view text);

}  // namespace tv
