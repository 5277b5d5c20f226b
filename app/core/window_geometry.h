#pragma once
// The arithmetic of the main window that needs no window: its size and place on the screen,
// centring a dialog, the position counter's text and the position pie. Kept apart from Qt so
// that the numbers are tested exactly.

#include <string>

#include "mapping.h"
#include "surface.h"

namespace tv {

// The main window: 95 % of the screen in each direction (the product of the integer and the
// single-precision 0.95, truncated), centred by integer halving.
Rect MainWindowRect(int screenWidth, int screenHeight);

// Keeps rect's size and moves it to the centre of the screen.
void CenterRect(Rect& rect, int screenWidth, int screenHeight);

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
