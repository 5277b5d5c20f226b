#pragma once
// PNG encoding of chart images through libpng. Charts are large flat areas with thin lines:
// one fixed row filter (each row against the one above) and the fastest deflate level give
// small files quickly, where trying every filter on every row costs several times the
// drawing itself.

#include <QByteArray>
#include <QImage>

namespace tv {

// The image as a PNG file's bytes, alpha dropped: a palette image of 1, 2, 4 or 8 bits a
// pixel (the fewest that index every colour) when it has at most 256 colours, else 8-bit RGB;
// either decodes to the same pixels. Empty for a null image or when the encoder fails.
QByteArray EncodePng(const QImage& image);

}  // namespace tv
