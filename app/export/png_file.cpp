#include "png_file.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "png_deflate.h"

namespace tv {

namespace {

// The colours of an image with few of them, each with its palette index, found through a
// small open-addressed table: a chart is read in one pass that stops at the 257th colour.
class Palette {
 public:
  static constexpr int kMaxColours = 256;

  // The index of colour (0xRRGGBB), added when new; -1 once there would be too many.
  int IndexOf(std::uint32_t colour) {
    std::size_t slot = (colour * 2654435761u) >> (32 - kSlotBits);
    while (m_used[slot]) {
      if (m_keys[slot] == colour) return m_indices[slot];
      slot = (slot + 1) & (kSlots - 1);
    }
    if (m_count == kMaxColours) return -1;
    m_used[slot] = true;
    m_keys[slot] = colour;
    m_indices[slot] = static_cast<std::uint8_t>(m_count);
    m_entries[static_cast<std::size_t>(m_count)] = {static_cast<png_byte>(colour >> 16),
                                                    static_cast<png_byte>(colour >> 8),
                                                    static_cast<png_byte>(colour)};
    return m_count++;
  }
  // The palette in index order, and its length.
  const png_color* Entries() const { return m_entries.data(); }
  int Count() const { return m_count; }

  // The fewest bits a pixel that tell every colour apart.
  int BitDepth() const { return m_count <= 2 ? 1 : m_count <= 4 ? 2 : m_count <= 16 ? 4 : 8; }

 private:
  static constexpr int kSlotBits = 10;  // 1024 slots: the table stays at most a quarter full
  static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
  std::array<std::uint32_t, kSlots> m_keys{};
  std::array<std::uint8_t, kSlots> m_indices{};
  std::array<bool, kSlots> m_used{};
  std::array<png_color, kMaxColours> m_entries{};
  int m_count = 0;
};

// Row y of an RGB32 image: a pixel a word, 0xffRRGGBB.
const std::uint32_t* Row(const QImage& image, int y) {
  return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
}

constexpr std::uint32_t kRgbMask = 0xFFFFFFu;

// Reads the colours of an RGB32 image into palette; false when it has more than 256.
bool CollectColours(const QImage& image, Palette& palette) {
  const int width = image.width(), height = image.height();
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = Row(image, y);
    std::uint32_t last = ~0u;  // runs of one colour are the rule: each is looked up once
    for (int x = 0; x < width; ++x) {
      const std::uint32_t colour = row[x] & kRgbMask;
      if (colour != last && palette.IndexOf(colour) < 0) return false;
      last = colour;
    }
  }
  return true;
}

// PNG's row filters used here: each row as it is, or less the row above byte by byte.
constexpr std::uint8_t kFilterNone = 0, kFilterUp = 2;

// The four bytes of a less those of b, each modulo 256, without carries between them.
std::uint32_t ByteDifferences(std::uint32_t a, std::uint32_t b) {
  constexpr std::uint32_t kHigh = 0x80808080u;
  return ((a | kHigh) - (b & ~kHigh)) ^ ((a ^ ~b) & kHigh);
}

// Pixel difference 0x00RRGGBB as a word whose first three bytes in memory are R, G and B.
std::uint32_t InFileOrder(std::uint32_t rgb) {
  if constexpr (std::endian::native == std::endian::big) return rgb << 8;
  return (rgb >> 16 & 0xFFu) | (rgb & 0xFF00u) | (rgb & 0xFFu) << 16;
}

// Pixels as the file's filtered RGB bytes, less the pixels above; writes one byte past
// their end.
void FilterRgb(const std::uint32_t* row, const std::uint32_t* above, int count, std::uint8_t* out) {
  for (int x = 0; x < count; ++x, out += 3) {
    // The fourth byte stored is the next pixel's first.
    const std::uint32_t rgb = InFileOrder(ByteDifferences(row[x], above[x]));
    std::memcpy(out, &rgb, sizeof rgb);
  }
}

// Where the pixels from x on that are the same as those above end: eight at a time, then
// one by one.
int EndOfSame(const std::uint32_t* row, const std::uint32_t* above, int x, int width) {
  while (x + 8 <= width && std::memcmp(row + x, above + x, 8 * sizeof(std::uint32_t)) == 0) x += 8;
  while (x < width && row[x] == above[x]) ++x;
  return x;
}

// Where the pixels from x on that differ from those above end: at the row's end or where
// kFewestSame pixels in a row are the same. Fewer are compressed with the others at less
// cost than on their own.
int EndOfDifferent(const std::uint32_t* row, const std::uint32_t* above, int x, int width) {
  constexpr int kFewestSame = 8;
  for (int same = 0; x < width; ++x) {
    same = row[x] == above[x] ? same + 1 : 0;
    if (same == kFewestSame) return x + 1 - kFewestSame;
  }
  return width;
}

// The rows of an RGB32 image into the compressor, each a filter byte and three bytes a
// pixel less the pixel above. A chart is mostly pixels the same as those above: their zeros
// are given by number.
template <typename Deflate>
void CompressRgbRows(const QImage& image, Deflate& deflate) {
  const int width = image.width();
  std::vector<std::uint8_t> filtered(3 * static_cast<std::size_t>(width) + 1);  // and room
  // No row is above the first: its bytes are as they are, as though black were above.
  const std::vector<std::uint32_t> black(static_cast<std::size_t>(width), 0xFF000000u);
  for (int y = 0; y < image.height(); ++y) {
    const std::uint32_t* row = Row(image, y);
    const std::uint32_t* above = y == 0 ? black.data() : Row(image, y - 1);
    const std::uint8_t filter = y == 0 ? kFilterNone : kFilterUp;
    deflate.Add({&filter, 1});
    for (int x = 0; x < width;) {
      const int same = EndOfSame(row, above, x, width);
      deflate.AddZeros(3 * static_cast<std::size_t>(same - x));
      const int different = EndOfDifferent(row, above, same, width);
      FilterRgb(row + same, above + same, different - same, filtered.data());
      deflate.Add({filtered.data(), 3 * static_cast<std::size_t>(different - same)});
      x = different;
    }
  }
}

// The rows of an image of at most 256 colours into the compressor as palette indices packed
// into the bit depth (the first pixel in a byte's high bits), each less the packed row above.
template <typename Deflate>
void CompressIndexRows(const QImage& image, Palette& palette, Deflate& deflate) {
  const int width = image.width(), depth = palette.BitDepth();
  const std::size_t packedBytes = (static_cast<std::size_t>(width) * depth + 7) / 8;
  std::vector<std::uint8_t> packed(packedBytes), above(packedBytes), filtered(1 + packedBytes);
  for (int y = 0; y < image.height(); ++y) {
    const std::uint32_t* row = Row(image, y);
    if (y > 0 && std::memcmp(row, Row(image, y - 1),
                             sizeof(std::uint32_t) * static_cast<std::size_t>(width)) == 0) {
      // A row like the one above: zeros, and the packed row above stays what it was.
      deflate.Add({&kFilterUp, 1});
      deflate.AddZeros(packedBytes);
      continue;
    }
    std::fill(packed.begin(), packed.end(), std::uint8_t{0});
    std::uint32_t last = ~0u;
    int index = 0;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t colour = row[x] & kRgbMask;
      if (colour != last) index = palette.IndexOf(colour);
      last = colour;
      const std::size_t bit = static_cast<std::size_t>(x) * depth;
      packed[bit / 8] |= static_cast<std::uint8_t>(index << (8 - depth - bit % 8));
    }
    filtered[0] = y == 0 ? kFilterNone : kFilterUp;
    for (std::size_t i = 0; i < packedBytes; ++i)
      filtered[1 + i] = static_cast<std::uint8_t>(packed[i] - above[i]);
    deflate.Add(filtered);
    packed.swap(above);
  }
}

// zlib with the run encoder's interface, for the rows of a build that prefers the library.
class ZlibDeflate {
 public:
  ZlibDeflate(int level, int strategy) {
    m_ok = deflateInit2(&m_z, level, Z_DEFLATED, 15, 8, strategy) == Z_OK;
  }
  ZlibDeflate(const ZlibDeflate&) = delete;
  ZlibDeflate& operator=(const ZlibDeflate&) = delete;
  ~ZlibDeflate() {
    if (m_ok) deflateEnd(&m_z);
  }

  void Add(std::span<const std::uint8_t> data) { Deflate(data.data(), data.size(), Z_NO_FLUSH); }
  void AddZeros(std::size_t count) {
    static constexpr std::array<std::uint8_t, 4096> kZeros{};
    for (; count > 0; count -= std::min(count, kZeros.size()))
      Add({kZeros.data(), std::min(count, kZeros.size())});
  }
  // The whole stream, or nothing when zlib failed.
  std::vector<std::uint8_t> Finish() {
    Deflate(nullptr, 0, Z_FINISH);
    if (!m_ok) return {};
    m_out.resize(m_z.total_out);
    return std::move(m_out);
  }

 private:
  void Deflate(const std::uint8_t* data, std::size_t size, int flush) {
    // zlib counts in 32-bit units; a row is far below that.
    m_z.next_in = const_cast<Bytef*>(data);  // zlib's interface is not const-correct
    m_z.avail_in = static_cast<uInt>(size);
    while (m_ok) {
      constexpr std::size_t kLeast = std::size_t{64} << 10, kMore = std::size_t{256} << 10;
      if (m_out.size() - m_z.total_out < kLeast) m_out.resize(m_out.size() + kMore);
      m_z.next_out = m_out.data() + m_z.total_out;
      m_z.avail_out = static_cast<uInt>(m_out.size() - m_z.total_out);
      const int result = deflate(&m_z, flush);
      if (result == Z_STREAM_END) return;
      if (result != Z_OK && result != Z_BUF_ERROR) m_ok = false;
      if (m_z.avail_in == 0 && m_z.avail_out > 0 && flush == Z_NO_FLUSH) return;
    }
  }

  z_stream m_z{};
  bool m_ok = false;
  std::vector<std::uint8_t> m_out;
};

void Append(png_structp png, png_bytep data, png_size_t length) {
  static_cast<QByteArray*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void NoFlush(png_structp) {}

// The PNG file around an image's compressed data: signature, header and palette as libpng
// writes them, the data in IDAT chunks, and the end. libpng reports errors by jumping back
// here; only plain pointers live across the jump, and the output is reached through one of
// them.
bool WriteFile(const QImage& image, const Palette* palette, const std::uint8_t* stream,
               std::size_t streamSize, QByteArray* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, Append, NoFlush);
  const auto width = static_cast<png_uint_32>(image.width());
  const auto height = static_cast<png_uint_32>(image.height());
  if (palette != nullptr) {
    png_set_IHDR(png, info, width, height, palette->BitDepth(), PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, palette->Entries(), palette->Count());
  } else {
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  }
  png_write_info(png, info);
  // A chunk holds less than 2 GiB; a large image's data is split, as a reader joins it again.
  constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
  for (std::size_t at = 0; at < streamSize; at += kMaxChunk)
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), stream + at,
                    std::min(kMaxChunk, streamSize - at));
  png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
  png_destroy_write_struct(&png, &info);
  return true;
}

// The image in the form the encoders take: RGB32 as drawn, anything else through 8-bit RGB.
// makeDeflate(indexed) gives the compressor of the rows.
template <typename MakeDeflate>
QByteArray Encode(const QImage& source, const MakeDeflate& makeDeflate) {
  if (source.isNull()) return {};
  // A chart is drawn as RGB32 and read as it is. Any other image takes the colours its
  // conversion to 8-bit RGB gives, then the lossless way back to a word a pixel.
  const QImage image =
      source.format() == QImage::Format_RGB32
          ? source
          : source.convertToFormat(QImage::Format_RGB888).convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return {};
  Palette palette;
  const bool indexed = CollectColours(image, palette);
  auto deflate = makeDeflate(indexed);
  if (indexed)
    CompressIndexRows(image, palette, deflate);
  else
    CompressRgbRows(image, deflate);
  const std::vector<std::uint8_t> stream = deflate.Finish();
  QByteArray png;
  png.reserve(static_cast<qsizetype>(stream.size()) + 2048);
  if (!WriteFile(image, indexed ? &palette : nullptr, stream.data(), stream.size(), &png))
    return {};
  return png;
}

}  // namespace

QByteArray EncodePng(const QImage& image) {
#ifdef TICKVANE_PNG_ZLIB
  return EncodePngWithZlib(image, Z_DEFAULT_COMPRESSION, Z_DEFAULT_STRATEGY);
#else
  // A run of pixels repeats three bytes back in RGB rows, a byte back in packed indices.
  return Encode(image, [](bool indexed) { return RunCompressor(indexed ? 1 : 3); });
#endif
}

QByteArray EncodePngWithZlib(const QImage& image, int level, int strategy) {
  return Encode(image, [=](bool) { return ZlibDeflate(level, strategy); });
}

}  // namespace tv
