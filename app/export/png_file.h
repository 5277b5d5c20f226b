#pragma once
// PNG encoding of chart images through libpng. Charts are large flat areas with thin lines:
// one fixed row filter (each row against the one above) and the fastest deflate level give
// small files quickly, where trying every filter on every row costs several times the
// drawing itself.

#include <QByteArray>
#include <QImage>

namespace tv {

// The image as a PNG file's bytes, 8-bit RGB (alpha dropped); empty for a null image or when
// the encoder fails.
QByteArray EncodePng(const QImage& image);

}  // namespace tv
