#pragma once
// Changes a surface's state through itself, keeping the value each piece had before its first
// change, and puts every changed piece back (and the mapping) when it goes out of scope: a
// draw leaves the surface as it came, however it leaves.

#include <optional>
#include <utility>

#include "surface.h"

namespace tv {

class SurfaceStateGuard {
 public:
  explicit SurfaceStateGuard(Surface& s) : m_s(s), m_mapping(s.GetMapping()) {}
  SurfaceStateGuard(const SurfaceStateGuard&) = delete;
  SurfaceStateGuard& operator=(const SurfaceStateGuard&) = delete;
  ~SurfaceStateGuard() {
    if (m_smooth) m_s.SetSmoothLines(*m_smooth);
    if (m_brush) m_s.SelectBrush(*m_brush);
    if (m_bkMode) m_s.SetBkMode(*m_bkMode);
    if (m_textColor) m_s.SetTextColor(*m_textColor);
    if (m_pen) m_s.SelectPen(*m_pen);
    if (m_font) m_s.SelectFont(*m_font);
    if (m_align) m_s.SetTextAlign(*m_align);
    m_s.SetMapping(m_mapping);
  }

  void SelectFont(const Font& f) { Keep(m_font, m_s.SelectFont(f)); }
  void SelectPen(const Pen& p) { Keep(m_pen, m_s.SelectPen(p)); }
  void SelectBrush(const Brush& b) { Keep(m_brush, m_s.SelectBrush(b)); }
  void SetTextColor(Rgb c) { Keep(m_textColor, m_s.SetTextColor(c)); }
  void SetBkMode(BkMode m) { Keep(m_bkMode, m_s.SetBkMode(m)); }
  void SetTextAlign(unsigned a) { Keep(m_align, m_s.SetTextAlign(a)); }
  void SetSmoothLines(bool on) { Keep(m_smooth, m_s.SetSmoothLines(on)); }

 private:
  template <class T>
  static void Keep(std::optional<T>& saved, T previous) {
    if (!saved) saved = std::move(previous);
  }

  Surface& m_s;
  Mapping m_mapping;
  std::optional<Brush> m_brush;
  std::optional<BkMode> m_bkMode;
  std::optional<Rgb> m_textColor;
  std::optional<Pen> m_pen;
  std::optional<Font> m_font;
  std::optional<unsigned> m_align;
  std::optional<bool> m_smooth;
};

}  // namespace tv
