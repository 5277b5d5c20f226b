// The SVG export's compaction: groups of one style joined, their lines one path.

#include <gtest/gtest.h>

#include <string>

#include "svg_compact.h"

namespace {

std::string Group(const std::string& color, const std::string& body) {
  return "\n<g stroke=\"" + color + "\"\nfont-family=\"Sans Serif\"\n>\n" + body + "</g>\n";
}

std::string Line(const std::string& points) {
  return R"(<polyline fill="none" vector-effect="non-scaling-stroke" points=")" + points +
         "\" />\n";
}

TEST(CompactSvg, JoinsGroupsOfOneStyleAndTheirLinesIntoOnePath) {
  const std::string head = "<svg>\n<g fill=\"none\" >\n";
  const std::string foot = "</g>\n</svg>\n";
  const std::string rect = "<rect x=\"0\" y=\"0\" width=\"5\" height=\"5\"/>\n";
  const struct {
    std::string body, want;
  } cases[] = {
      // A series drawn a segment at a time is one path.
      {Group("#f00", Line("0,0 1,1 ")) + Group("#f00", Line("1,1 2,3 ")),
       "\n<g stroke=\"#f00\"\nfont-family=\"sans-serif\"\n>\n"
       "<path fill=\"none\" vector-effect=\"non-scaling-stroke\" d=\"M0,0L1,1L2,3\"/>\n</g>\n"},
      // Bars apart from one another move to their start; other elements stay.
      {Group("#0f0", Line("5,1 5,9 ") + rect) + Group("#0f0", Line("7,2 7,8 ")),
       "\n<g stroke=\"#0f0\"\nfont-family=\"sans-serif\"\n>\n" + rect +
           "<path fill=\"none\" vector-effect=\"non-scaling-stroke\" d=\"M5,1L5,9M7,2L7,8\"/>\n"
           "</g>\n"},
      // Another colour between keeps the order of painting.
      {Group("#f00", rect) + Group("#00f", rect) + Group("#f00", rect),
       "\n<g stroke=\"#f00\"\nfont-family=\"sans-serif\"\n>\n" + rect + "</g>\n" +
           "\n<g stroke=\"#00f\"\nfont-family=\"sans-serif\"\n>\n" + rect + "</g>\n" +
           "\n<g stroke=\"#f00\"\nfont-family=\"sans-serif\"\n>\n" + rect + "</g>\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(tv::CompactSvg(head + c.body + foot), head + c.want + foot);
  }
  // Text that is not the writer's layout passes through.
  EXPECT_EQ(tv::CompactSvg("<svg><g><g></svg"), "<svg><g><g></svg");
}

}  // namespace
