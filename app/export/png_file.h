#pragma once
// PNG encoding of chart images. Charts are large flat areas with thin lines: each row is
// filtered against the one above (one fixed filter: trying every filter on every row costs
// several times the drawing itself), which leaves mostly runs of zeros, and each row is
// compressed as it is made by a deflate encoder that looks for runs alone (zlib_stream.h).
// libpng writes the file's chunks.

#include <QByteArray>
#include <QImage>

namespace tv {

// The image as a PNG file's bytes, alpha dropped: a palette image of 1, 2, 4 or 8 bits a
// pixel (the fewest that index every colour) when it has at most 256 colours, else 8-bit RGB;
// either decodes to the same pixels. Empty for a null image or when the encoder fails.
QByteArray EncodePng(const QImage& image);

}  // namespace tv
