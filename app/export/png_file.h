#pragma once
// A lean PNG writer for chart images. Charts are large flat areas with thin lines; the
// general image writer tries every row filter on every row, which costs several times the
// drawing itself. One fixed filter and a fast deflate level give small files quickly.

#include <QByteArray>
#include <QImage>

namespace tv {

// The image as a PNG file's bytes, 8-bit RGB (alpha dropped); empty for a null image.
QByteArray EncodePng(const QImage& image);

}  // namespace tv
