#pragma once
// Test support for the extended chart: the boxes of the texts a recording surface holds
// (it measures 7 x 13 pixels a character) and the pairs of them that overlap.

#include <string>
#include <utility>
#include <vector>

#include "plot_input.h"
#include "recording_surface.h"

namespace plottest {

struct TextBox {
  tv::Rect box;
  std::string text;
};

inline std::vector<TextBox> TextBoxes(const fixture::RecordingSurface& surface) {
  std::vector<TextBox> boxes;
  for (const fixture::SurfaceOp& op : surface.Of(fixture::OpKind::Text)) {
    const tv::Point p = op.deviceFrom;
    boxes.push_back({{p.x, p.y, p.x + 7 * static_cast<int>(op.text.size()), p.y + 13}, op.text});
  }
  return boxes;
}

// "a over b" for every two texts that share a pixel, and "a outside" for a text that leaves
// the target.
inline std::vector<std::string> Collisions(const std::vector<TextBox>& boxes,
                                           const tv::Rect& target) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const tv::Rect& a = boxes[i].box;
    if (a.left < target.left || a.top < target.top || a.right > target.right ||
        a.bottom > target.bottom)
      found.push_back(boxes[i].text + " outside");
    for (std::size_t j = i + 1; j < boxes.size(); ++j) {
      const tv::Rect& b = boxes[j].box;
      if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
        found.push_back(boxes[i].text + " over " + boxes[j].text);
    }
  }
  return found;
}

// The program's first palette on screen, and its colours on paper.
inline constexpr tv::Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGreenColor{0, 255, 0},
    kCyanColor{0, 255, 255}, kRedColor{255, 0, 0}, kBlueColor{0, 0, 255};
inline constexpr plot::PlotColors kScreen{
    kBlack, kWhite, kWhite, kCyanColor, kGreenColor, kCyanColor, kRedColor, kBlueColor, kRedColor};
inline constexpr plot::PlotColors kPaper{kWhite, kBlack,     kBlack, kBlack, kBlack,
                                         kBlack, kBlueColor, kBlack, kBlack};

// An input in the screen's colours with the view options' two averages, 10 and 20 bars.
inline plot::PlotInput ScreenInput() {
  plot::PlotInput in;
  in.colors = kScreen;
  in.averages = {{plot::AverageKind::Simple, 10}, {plot::AverageKind::Simple, 20}};
  return in;
}

}  // namespace plottest
