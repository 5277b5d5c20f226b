#include "png_file.h"

#include <QByteArray>
#include <QHash>
#include <array>
#include <cstdint>
#include <vector>

namespace tv {

namespace {

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

std::uint32_t Crc(const QByteArray& bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char b : bytes) c = CrcTable()[(c ^ static_cast<std::uint8_t>(b)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void PutU32(QByteArray& out, std::uint32_t v) {
  out.append(static_cast<char>(v >> 24));
  out.append(static_cast<char>(v >> 16));
  out.append(static_cast<char>(v >> 8));
  out.append(static_cast<char>(v));
}

void PutChunk(QByteArray& out, const char* type, const QByteArray& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  QByteArray typed(type, 4);
  typed.append(data);
  out.append(typed);
  PutU32(out, Crc(typed));
}

}  // namespace

namespace {

// The image as palette indexes when it has at most 256 colours (a chart's few colours and
// the shades of its antialiased text usually fit): a third of the bytes to compress.
bool ToIndexed(const QImage& image, std::vector<std::uint8_t>& indexes,
               std::vector<QRgb>& palette) {
  const int w = image.width();
  const int h = image.height();
  indexes.resize(static_cast<std::size_t>(w) * h);
  palette.clear();
  QHash<QRgb, std::uint8_t> known;
  QRgb last = 0;
  std::uint8_t lastIndex = 0;
  bool haveLast = false;
  std::size_t at = 0;
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      const QRgb p = row[x] & 0xFFFFFFu;
      if (!haveLast || p != last) {
        const auto found = known.constFind(p);
        if (found != known.constEnd()) {
          lastIndex = *found;
        } else {
          if (palette.size() == 256) return false;
          lastIndex = static_cast<std::uint8_t>(palette.size());
          known.insert(p, lastIndex);
          palette.push_back(p);
        }
        last = p;
        haveLast = true;
      }
      indexes[at++] = lastIndex;
    }
  }
  return true;
}

}  // namespace

QByteArray EncodePng(const QImage& source) {
  if (source.isNull()) return {};
  const QImage image =
      source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
          ? source
          : source.convertToFormat(QImage::Format_RGB32);
  const int w = image.width();
  const int h = image.height();

  std::vector<std::uint8_t> indexes;
  std::vector<QRgb> palette;
  const bool indexed = ToIndexed(image, indexes, palette);

  // Each row gets the "Up" filter (difference to the row above), which turns the chart's
  // vertical lines and flat areas into runs of zeros.
  const int channels = indexed ? 1 : 3;
  const qsizetype rowBytes = 1 + static_cast<qsizetype>(w) * channels;
  QByteArray raw(rowBytes * h, '\0');
  auto* out = reinterpret_cast<std::uint8_t*>(raw.data());
  for (int y = 0; y < h; ++y) {
    *out++ = y > 0 ? 2 : 0;
    if (indexed) {
      const std::uint8_t* row = indexes.data() + static_cast<std::size_t>(y) * w;
      const std::uint8_t* above = y > 0 ? row - w : nullptr;
      for (int x = 0; x < w; ++x)
        *out++ = static_cast<std::uint8_t>(row[x] - (above ? above[x] : 0));
      continue;
    }
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const auto* above = y > 0 ? reinterpret_cast<const QRgb*>(image.constScanLine(y - 1)) : nullptr;
    for (int x = 0; x < w; ++x) {
      const QRgb p = row[x];
      const QRgb q = above ? above[x] : 0;
      *out++ = static_cast<std::uint8_t>(qRed(p) - (above ? qRed(q) : 0));
      *out++ = static_cast<std::uint8_t>(qGreen(p) - (above ? qGreen(q) : 0));
      *out++ = static_cast<std::uint8_t>(qBlue(p) - (above ? qBlue(q) : 0));
    }
  }
  // qCompress gives a zlib stream behind a 4-byte length, which PNG does not want.
  const QByteArray compressed = qCompress(raw, 1).mid(4);

  QByteArray png("\x89PNG\r\n\x1a\n", 8);
  QByteArray header;
  PutU32(header, static_cast<std::uint32_t>(w));
  PutU32(header, static_cast<std::uint32_t>(h));
  header.append(static_cast<char>(8));                // bit depth
  header.append(static_cast<char>(indexed ? 3 : 2));  // colour type: palette or RGB
  header.append(3, '\0');                             // deflate, adaptive filtering, no interlace
  PutChunk(png, "IHDR", header);
  if (indexed) {
    QByteArray plte;
    for (const QRgb c : palette) {
      plte.append(static_cast<char>(qRed(c)));
      plte.append(static_cast<char>(qGreen(c)));
      plte.append(static_cast<char>(qBlue(c)));
    }
    PutChunk(png, "PLTE", plte);
  }
  PutChunk(png, "IDAT", compressed);
  PutChunk(png, "IEND", {});
  return png;
}

}  // namespace tv
