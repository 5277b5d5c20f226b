#include "labels.h"

#include <algorithm>
#include <numeric>

namespace plot {

bool Overlap(const tv::Rect& a, const tv::Rect& b, int gap) {
  return a.left < b.right + gap && b.left < a.right + gap && a.top < b.bottom + gap &&
         b.top < a.bottom + gap;
}

std::vector<bool> KeptLabels(const std::vector<Label>& labels, int gap) {
  std::vector<std::size_t> order(labels.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return labels[a].priority > labels[b].priority;
  });
  std::vector<bool> kept(labels.size(), false);
  std::vector<tv::Rect> taken;
  for (const std::size_t i : order) {
    const tv::Rect& box = labels[i].box;
    if (box.width() <= 0 || labels[i].text.empty()) continue;
    if (std::any_of(taken.begin(), taken.end(),
                    [&](const tv::Rect& t) { return Overlap(box, t, gap); }))
      continue;
    kept[i] = true;
    taken.push_back(box);
  }
  return kept;
}

std::vector<Label> PlaceLabels(const std::vector<Label>& labels, int gap) {
  const std::vector<bool> kept = KeptLabels(labels, gap);
  std::vector<Label> out;
  for (std::size_t i = 0; i < labels.size(); ++i)
    if (kept[i]) out.push_back(labels[i]);
  return out;
}

}  // namespace plot
