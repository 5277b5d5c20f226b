#pragma once
// PNG encoding of chart images. Charts are large flat areas with thin lines: each row is
// filtered against the one above (one fixed filter: trying every filter on every row costs
// several times the drawing itself), which leaves mostly runs of zeros, and each row is
// compressed as it is made by a deflate encoder that looks for runs alone (png_deflate.h),
// or, in a build configured with TICKVANE_PNG_ZLIB, by zlib as libpng would compress them.
// libpng writes the file's chunks.

#include <QByteArray>
#include <QImage>

namespace tv {

// The image as a PNG file's bytes, alpha dropped: a palette image of 1, 2, 4 or 8 bits a
// pixel (the fewest that index every colour) when it has at most 256 colours, else 8-bit RGB;
// either decodes to the same pixels. Empty for a null image or when the encoder fails.
QByteArray EncodePng(const QImage& image);

// The same file with its rows compressed by zlib at `level` (0 to 9) with `strategy`
// (Z_DEFAULT_STRATEGY, Z_RLE ...) instead: the files are the same up to their compressed data.
QByteArray EncodePngWithZlib(const QImage& image, int level, int strategy);

}  // namespace tv
