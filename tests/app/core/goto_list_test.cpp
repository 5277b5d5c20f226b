// The order of the Go To list: its comparison, the three sort orders and the search for an
// entry by its beginning.

#include <gtest/gtest.h>

#include "goto_list.h"
#include "security_list_fixture.h"

namespace {

using fixture::Entry;
using tv::CompareGoToKeys;

std::vector<std::string> Symbols(const std::vector<std::string>& entries) {
  std::vector<std::string> out;
  for (const std::string& e : entries) out.push_back(e.substr(0, e.find('\t')));
  return out;
}

TEST(GoToCompare, FoldsOnlyLettersAndComparesUnsignedWithPrefixesFirst) {
  EXPECT_EQ(CompareGoToKeys("abc", "ABC"), 0);
  EXPECT_LT(CompareGoToKeys("ABC", "abd"), 0);
  // A prefix is smaller than the longer text.
  EXPECT_LT(CompareGoToKeys("AB", "ab0"), 0);
  EXPECT_GT(CompareGoToKeys("ab0", "AB"), 0);
  // The characters between the capitals and the small letters stay where they are, so they
  // come before every letter, and digits before them.
  for (const char* middle : {"[", "\\", "]", "^", "_", "`"}) {
    EXPECT_LT(CompareGoToKeys(middle, "A"), 0) << middle;
    EXPECT_LT(CompareGoToKeys(middle, "a"), 0) << middle;
    EXPECT_GT(CompareGoToKeys(middle, "9"), 0) << middle;
  }
  // Bytes above 127 are larger than any letter, not negative.
  EXPECT_GT(CompareGoToKeys("\xE9", "z"), 0);
  EXPECT_LT(CompareGoToKeys("\xC9", "\xE9"), 0);  // not folded: only A-Z are
  // A tab sorts before everything printable.
  EXPECT_LT(CompareGoToKeys("A\tZZZ", "A0"), 0);
}

TEST(GoToList, MasterOrderKeepsTheFileOrderAndFormatsSymbolTabName) {
  CBars bars;
  fixture::SetList(bars, {{"ZZ", "Last"}, {"AA", "First"}}, 1);
  const tv::GoToList list = tv::BuildGoToList(bars, tv::kSortMaster);
  EXPECT_EQ(list.entries, (std::vector<std::string>{Entry("ZZ", "Last"), Entry("AA", "First")}));
  EXPECT_EQ(list.currentEntry, Entry("AA", "First"));
}

TEST(GoToList, SymbolOrderIsCaseFoldedWithDigitsAndPunctuationBeforeLetters) {
  CBars bars;
  fixture::SetList(bars, {{"IBM", "Ibm"},
                          {"abd", "Abd"},
                          {"_Z", "Underscore"},
                          {"Z9", "Zed"},
                          {"[Q", "Bracket"},
                          {"A", "Just A"},
                          {"`W", "Grave"},
                          {"1X", "Digit"},
                          {"ABC", "Abc"},
                          {"^C", "Caret"},
                          {"\\B", "Backslash"},
                          {"Ab", "Ab mixed"},
                          {"]D", "Close bracket"}});
  const tv::GoToList list = tv::BuildGoToList(bars, tv::kSortSymbol);
  EXPECT_EQ(Symbols(list.entries),
            (std::vector<std::string>{"1X", "[Q", "\\B", "]D", "^C", "_Z", "`W", "A", "Ab", "ABC",
                                      "abd", "IBM", "Z9"}));
}

TEST(GoToList, EqualSymbolsComeInReverseMasterOrderEqualNamesInMasterOrder) {
  CBars bars;
  // Two "BHP" (the later one first under Symbol) and two names equal but for case (in file
  // order under Name).
  fixture::SetList(bars, {{"BHP", "BHP Billiton"},
                          {"RIO", "Rio Tinto"},
                          {"BHP", "BHP second"},
                          {"BH", "Same name"},
                          {"BHPX", "SAME NAME"}});
  const tv::GoToList bySymbol = tv::BuildGoToList(bars, tv::kSortSymbol);
  EXPECT_EQ(bySymbol.entries,
            (std::vector<std::string>{Entry("BH", "Same name"), Entry("BHP", "BHP second"),
                                      Entry("BHP", "BHP Billiton"), Entry("BHPX", "SAME NAME"),
                                      Entry("RIO", "Rio Tinto")}));

  const tv::GoToList byName = tv::BuildGoToList(bars, tv::kSortName);
  EXPECT_EQ(byName.entries,
            (std::vector<std::string>{Entry("BHP", "BHP Billiton"), Entry("BHP", "BHP second"),
                                      Entry("RIO", "Rio Tinto"), Entry("BH", "Same name"),
                                      Entry("BHPX", "SAME NAME")}));
}

TEST(GoToList, FindsTheFirstEntryBeginningWithTheTextWithoutRegardToCase) {
  const std::vector<std::string> entries{Entry("ABC", "One"), Entry("AB", "Two"),
                                         Entry("ab", "Three")};
  EXPECT_EQ(tv::FindGoToEntry(entries, "ab"), 0);
  EXPECT_EQ(tv::FindGoToEntry(entries, Entry("ab", "two")), 1);
  EXPECT_EQ(tv::FindGoToEntry(entries, "AB\tTH"), 2);
  EXPECT_EQ(tv::FindGoToEntry(entries, "ABCD"), -1);
  EXPECT_EQ(tv::FindGoToEntry({}, ""), -1);
}

}  // namespace
