#pragma once
// Where the current security stands in the list, shown twice in the main window: as the
// counter's text and as the position pie. No Qt, so the text and the drawing calls are tested
// exactly.

#include <string>

#include "mapping.h"
#include "surface.h"

namespace tv {

// "No Symbols Read", or "Symbol <current + 1> of <count>".
std::string CounterText(int count, int current);
// The text the counter pane is sized for.
inline constexpr const char* kCounterSizingText = "Symbol 1000 of 1000";

// The point of the ellipse inscribed in r at `degrees`, y pointing down.
Point PointOnEllipse(const Rect& r, double degrees);

// Draws the position pie into r on a surface in its default mapping: a navy disc and, once
// the current index has moved past count / 50, a yellow wedge clockwise from twelve o'clock
// covering current * 360 / (count - 1) degrees. Its radii are yellow in the first half of the
// list and navy from the middle on; the arc is always yellow.
void DrawPositionPie(Surface& surface, const Rect& r, int count, int current);

inline constexpr Rgb kPieNavy{0, 0, 128};
inline constexpr Rgb kPieYellow{255, 255, 0};

}  // namespace tv
