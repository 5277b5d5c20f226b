// What the settings file's values mean to the program without the file: which texts read as
// integers, and the order in which the view options' keys are read.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Doc.h"
#include "memory_profile.h"

namespace {

TEST(ProfileInt, OnlyAWholeDecimalNumberReads) {
  int v = -99;
  EXPECT_TRUE(tv::ParseProfileInt("42", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(tv::ParseProfileInt("  -7 ", v));
  EXPECT_EQ(v, -7);
  EXPECT_TRUE(tv::ParseProfileInt("+3", v));
  EXPECT_EQ(v, 3);
  v = 5;
  for (const char* bad : {"", " ", "abc", "12abc", "1.5", "0x10", "99999999999", "--1", "+"})
    EXPECT_FALSE(tv::ParseProfileInt(bad, v)) << bad;
  EXPECT_EQ(v, 5);
}

TEST(StoredViewOptions, KeysAreReadInTheirFixedOrder) {
  fixture::MemoryProfile profile;
  CBars bars;
  tv::LoadViewOptions(profile, bars);
  EXPECT_EQ(profile.reads,
            (std::vector<std::string>{"ViewOptions/ShowVolume", "ViewOptions/ShowMA1",
                                      "ViewOptions/ShowMA2", "ViewOptions/BarSpace",
                                      "ViewOptions/MA1Length", "ViewOptions/MA2Length",
                                      "ViewOptions/Colors"}));
}

}  // namespace
