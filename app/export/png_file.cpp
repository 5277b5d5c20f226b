#include "png_file.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>

namespace tv {

namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
  static_cast<QByteArray*>(png_get_io_ptr(png))
      ->append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
}

void NoFlush(png_structp) {}

// libpng reports errors by jumping back here; only plain pointers live across the jump, and
// the output is reached through one of them.
bool Encode(const QImage& image, QByteArray* out) {
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
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()),
               static_cast<png_uint_32>(image.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // After the Up filter a chart is mostly runs of zeros: run-length matching finds them as
  // fast as the quickest deflate level and gives files a third smaller.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_level(png, 1);
  png_set_compression_strategy(png, Z_RLE);
  png_write_info(png, info);
  for (int y = 0; y < image.height(); ++y) png_write_row(png, image.constScanLine(y));
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
  if (!Encode(image, &png)) return {};
  return png;
}

}  // namespace tv
