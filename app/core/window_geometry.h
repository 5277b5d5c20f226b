#pragma once
// The arithmetic of the main window that needs no window: its size and place on the screen and
// centring a window on it. Kept apart from Qt so that the numbers are tested exactly.

#include "mapping.h"

namespace tv {

// The main window: 95 % of the screen in each direction (the product of the integer and the
// single-precision 0.95, truncated), centred by integer halving.
Rect MainWindowRect(int screenWidth, int screenHeight);

// Keeps rect's size and moves it to the centre of the screen.
void CenterRect(Rect& rect, int screenWidth, int screenHeight);

}  // namespace tv
