#include "png_file.h"

#include <png.h>
#include <zlib.h>

#include <array>
#include <csetjmp>
#include <cstdint>
#include <vector>

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
    while (used_[slot]) {
      if (keys_[slot] == colour) return indices_[slot];
      slot = (slot + 1) & (kSlots - 1);
    }
    if (count_ == kMaxColours) return -1;
    used_[slot] = true;
    keys_[slot] = colour;
    indices_[slot] = static_cast<std::uint8_t>(count_);
    entries_[static_cast<std::size_t>(count_)] = {static_cast<png_byte>(colour >> 16),
                                                  static_cast<png_byte>(colour >> 8),
                                                  static_cast<png_byte>(colour)};
    return count_++;
  }
  // The palette in index order, and its length.
  const png_color* Entries() const { return entries_.data(); }
  int Count() const { return count_; }

  // The fewest bits a pixel that tell every colour apart.
  int BitDepth() const { return count_ <= 2 ? 1 : count_ <= 4 ? 2 : count_ <= 16 ? 4 : 8; }

 private:
  static constexpr int kSlotBits = 10;  // 1024 slots: the table stays at most a quarter full
  static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
  std::array<std::uint32_t, kSlots> keys_{};
  std::array<std::uint8_t, kSlots> indices_{};
  std::array<bool, kSlots> used_{};
  std::array<png_color, kMaxColours> entries_{};
  int count_ = 0;
};

// The colour of pixel x of an RGB888 row, as 0xRRGGBB.
std::uint32_t PixelAt(const std::uint8_t* row, std::size_t x) {
  const std::uint8_t* rgb = row + 3 * x;
  return (std::uint32_t{rgb[0]} << 16) | (std::uint32_t{rgb[1]} << 8) | rgb[2];
}

// Reads the colours of an RGB888 image into palette; false when it has more than 256.
bool CollectColours(const QImage& image, Palette& palette) {
  for (int y = 0; y < image.height(); ++y) {
    const std::uint8_t* row = image.constScanLine(y);
    std::uint32_t last = ~0u;  // runs of one colour are the rule: each is looked up once
    for (int x = 0; x < image.width(); ++x) {
      const std::uint32_t colour = PixelAt(row, static_cast<std::size_t>(x));
      if (colour != last && palette.IndexOf(colour) < 0) return false;
      last = colour;
    }
  }
  return true;
}

void Append(png_structp png, png_bytep data, png_size_t length) {
  static_cast<QByteArray*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void NoFlush(png_structp) {}

// libpng reports errors by jumping back here; only plain pointers live across the jump, and
// the output is reached through one of them. A palette means an indexed image, its rows
// written through indexRow (one byte a pixel).
bool Encode(const QImage& image, Palette* palette, std::uint8_t* indexRow, QByteArray* out) {
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
  // After the Up filter a chart is mostly runs of zeros: run-length matching finds them as
  // fast as the quickest deflate level and gives files a third smaller.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_RLE);
  png_write_info(png, info);
  if (palette == nullptr) {
    for (int y = 0; y < image.height(); ++y) png_write_row(png, image.constScanLine(y));
  } else {
    // One byte an index; libpng packs them into the bit depth.
    png_set_packing(png);
    for (int y = 0; y < image.height(); ++y) {
      const std::uint8_t* row = image.constScanLine(y);
      for (png_uint_32 x = 0; x < width; ++x)
        indexRow[x] =
            static_cast<std::uint8_t>(palette->IndexOf(PixelAt(row, static_cast<std::size_t>(x))));
      png_write_row(png, indexRow);
    }
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

QByteArray EncodePng(const QImage& source) {
  if (source.isNull()) return {};
  // Three bytes a pixel in the file's order: Qt's conversion does this faster than a loop
  // here or libpng's own transformations would.
  const QImage image = source.convertToFormat(QImage::Format_RGB888);
  if (image.isNull()) return {};
  QByteArray png;
  png.reserve(static_cast<qsizetype>(image.width()) * image.height() / 8);
  Palette palette;
  const bool indexed = CollectColours(image, palette);
  std::vector<std::uint8_t> indexRow(indexed ? static_cast<std::size_t>(image.width()) : 0);
  if (!Encode(image, indexed ? &palette : nullptr, indexRow.data(), &png)) return {};
  return png;
}

}  // namespace tv
