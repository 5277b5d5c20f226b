#include "svg_compact.h"

#include <vector>

namespace tv {

namespace {

constexpr std::string_view kPolyline =
    R"(<polyline fill="none" vector-effect="non-scaling-stroke" points=")";

// The body of one group with its polylines drawn as one path after the other elements (all
// of one colour, so their order among themselves changes no pixel).
std::string CompactBody(std::string_view body) {
  std::string kept, path;
  std::string_view last;  // the last point of the path so far
  std::size_t pos = 0;
  while (pos < body.size()) {
    std::size_t end = body.find('\n', pos);
    end = end == std::string_view::npos ? body.size() : end + 1;
    const std::string_view line = body.substr(pos, end - pos);
    pos = end;
    const std::size_t close = line.find('"', kPolyline.size());
    if (line.substr(0, kPolyline.size()) != kPolyline || close == std::string_view::npos) {
      kept.append(line);
      continue;
    }
    // "x,y x,y " -> M x,y L x,y, continuing the path where it ends.
    std::string_view points = line.substr(kPolyline.size(), close - kPolyline.size());
    bool first = true;
    while (!points.empty()) {
      const std::size_t space = points.find(' ');
      const std::string_view point = points.substr(0, space);
      points = space == std::string_view::npos ? std::string_view{} : points.substr(space + 1);
      if (point.empty()) continue;
      if (first && point == last) {
        first = false;
        continue;
      }
      path += first ? 'M' : 'L';
      path.append(point);
      first = false;
      last = point;
    }
  }
  if (!path.empty())
    kept += R"(<path fill="none" vector-effect="non-scaling-stroke" d=")" + path + "\"/>\n";
  return kept;
}

void ReplaceAll(std::string& s, std::string_view from, std::string_view to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
}

}  // namespace

std::string CompactSvg(std::string_view in) {
  constexpr auto npos = std::string_view::npos;
  std::string out;
  out.reserve(in.size() / 4);
  std::string_view openTag;
  std::string body;
  bool open = false;
  const auto flush = [&] {
    if (!open) return;
    out.append(openTag);
    out += CompactBody(body);
    out += "</g>\n";
    body.clear();
    open = false;
  };
  std::size_t pos = 0;
  for (;;) {
    const std::size_t g = in.find("\n<g ", pos);
    if (g == npos) break;
    const std::size_t tagEnd = in.find(">\n", g + 1);
    if (tagEnd == npos) break;
    const std::string_view tag = in.substr(g + 1, tagEnd + 2 - (g + 1));
    const std::size_t close = in.find("</g>", tagEnd + 2);
    const std::size_t inner = in.find("<g ", tagEnd + 2);
    if (close == npos || (inner != npos && inner < close)) {
      // A group holding groups (the document's outer one) is copied as it stands.
      flush();
      out.append(in.substr(pos, tagEnd + 2 - pos));
      pos = tagEnd + 2;
      continue;
    }
    const std::string_view between = in.substr(pos, g + 1 - pos);
    const bool blank = between.find_first_not_of(" \n") == npos;
    if (open && (!blank || tag != openTag)) flush();
    if (!open) {
      out.append(between);
      openTag = tag;
      open = true;
    }
    body.append(in.substr(tagEnd + 2, close - (tagEnd + 2)));
    pos = close + 4;
    if (pos < in.size() && in[pos] == '\n') ++pos;
  }
  flush();
  out.append(in.substr(pos));
  ReplaceAll(out, R"(font-family="Sans Serif")", R"(font-family="sans-serif")");
  return out;
}

}  // namespace tv
