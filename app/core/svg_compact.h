#pragma once
// A smaller SVG document for the same picture. The Qt SVG writer puts every line of the chart
// into a group of its own, each repeating the pen, brush and font: a chart of four studies
// takes over a megabyte. This joins neighbouring groups of the same style into one, the
// lines of one group into one path (a line that starts where the last ended continues it),
// and names the font by its generic family so that any viewer finds one.

#include <string>
#include <string_view>

namespace tv {

std::string CompactSvg(std::string_view svg);

}  // namespace tv
