// Labels that never cover one another, and names shortened to their room.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "labels.h"

namespace {

plot::Label L(tv::Rect box, const char* text, int priority = 0) {
  plot::Label l;
  l.box = box;
  l.text = text;
  l.priority = priority;
  return l;
}

TEST(Labels, TheMoreImportantLabelKeepsItsPlace) {
  const struct {
    const char* what;
    std::vector<plot::Label> labels;
    std::vector<std::string> kept;
  } cases[] = {
      {"apart", {L({0, 0, 10, 10}, "a"), L({20, 0, 30, 10}, "b")}, {"a", "b"}},
      {"overlapping: the first of equal rank",
       {L({0, 0, 10, 10}, "a"), L({5, 5, 15, 15}, "b")},
       {"a"}},
      {"overlapping: the higher rank, wherever it is listed",
       {L({0, 0, 10, 10}, "a", 1), L({5, 5, 15, 15}, "b", 5)},
       {"b"}},
      {"within the gap counts as touching",
       {L({0, 0, 10, 10}, "a"), L({11, 0, 20, 10}, "b")},
       {"a"}},
      {"a dropped label crowds nothing",
       {L({0, 0, 10, 10}, "a", 3), L({8, 0, 18, 10}, "b", 2), L({16, 0, 26, 10}, "c", 1)},
       {"a", "c"}},
      {"empty text or box is never drawn",
       {L({0, 0, 0, 10}, "a"), L({0, 0, 10, 10}, ""), L({0, 0, 10, 10}, "c")},
       {"c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> kept;
    for (const plot::Label& l : plot::PlaceLabels(c.labels, 2)) kept.push_back(l.text);
    EXPECT_EQ(kept, c.kept);
  }
}

TEST(Labels, ALongNameIsShortenedWithDots) {
  const auto measure = [](const std::string& t) { return static_cast<int>(t.size()) * 7; };
  const struct {
    const char* text;
    int width;
    const char* shown;
  } cases[] = {
      {"China Yunnan Copper Aust.", 1000, "China Yunnan Copper Aust."},
      {"China Yunnan Copper Aust.", 15 * 7, "China Yunnan..."},
      {"China Yunnan Copper Aust.", 16 * 7, "China Yunnan..."},  // no blank before the dots
      {"China Yunnan Copper Aust.", 4 * 7, "C..."},
      {"China Yunnan Copper Aust.", 3 * 7, "..."},
      {"China Yunnan Copper Aust.", 2 * 7, ""},
      {"", 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(plot::Shorten(c.text, c.width, measure), c.shown);
}

}  // namespace
