#pragma once
// Logical-to-device coordinate mapping of a drawing surface, with the classic rounding, so
// every surface (on screen, in an image, on paper, or recording in a test) lands on the same
// device pixels.

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace tv {

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int cx = 0, cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0 (a
// degenerate extent then collapses everything onto the origin instead of dividing by zero).
inline int MulDivRound(int a, int b, int c) {
  if (c == 0) return 0;
  std::int64_t num = static_cast<std::int64_t>(a) * b;
  std::int64_t den = c;
  if (den < 0) {
    num = -num;
    den = -den;
  }
  const std::int64_t q = num >= 0 ? (num + den / 2) / den : -((-num + den / 2) / den);
  return static_cast<int>(q);
}

// device = (logical - windowOrg) * viewportExt / windowExt + viewportOrg, per axis. The
// default mapping has all extents 1 and both origins 0: one logical unit per device pixel,
// y down.
struct Mapping {
  Point windowOrg{};
  Size windowExt{1, 1};
  Point viewportOrg{};
  Size viewportExt{1, 1};

  static Mapping Anisotropic(Size windowExt, Size viewportExt, Point viewportOrg) {
    Mapping m;
    m.windowExt = windowExt;
    m.viewportExt = viewportExt;
    m.viewportOrg = viewportOrg;
    return m;
  }

  int ToDeviceX(int x) const {
    return MulDivRound(x - windowOrg.x, viewportExt.cx, windowExt.cx) + viewportOrg.x;
  }
  int ToDeviceY(int y) const {
    return MulDivRound(y - windowOrg.y, viewportExt.cy, windowExt.cy) + viewportOrg.y;
  }
  Point ToDevice(Point p) const { return {ToDeviceX(p.x), ToDeviceY(p.y)}; }
  // The mapped rectangle, normalised so that left <= right and top <= bottom.
  Rect ToDevice(const Rect& r) const {
    int l = ToDeviceX(r.left), rr = ToDeviceX(r.right);
    int t = ToDeviceY(r.top), b = ToDeviceY(r.bottom);
    if (l > rr) std::swap(l, rr);
    if (t > b) std::swap(t, b);
    return {l, t, rr, b};
  }
  // A logical length along x or y in device pixels (sign dropped).
  int LengthX(int n) const { return std::abs(MulDivRound(n, viewportExt.cx, windowExt.cx)); }
  int LengthY(int n) const { return std::abs(MulDivRound(n, viewportExt.cy, windowExt.cy)); }
  // True when y grows upward on the device.
  bool YUp() const { return (viewportExt.cy < 0) != (windowExt.cy < 0); }

  friend bool operator==(const Mapping&, const Mapping&) = default;
};

}  // namespace tv
