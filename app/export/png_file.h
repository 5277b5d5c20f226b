#pragma once
// A lean PNG writer for chart images. Charts are large flat areas with thin lines; the
// general image writer tries every row filter on every row, which costs several times the
// drawing itself. One fixed filter and a fast deflate level give small files quickly.

#include <QImage>
#include <QString>

namespace tv {

// Writes the image as 8-bit RGB (alpha dropped). False when the file cannot be written.
bool WritePngFile(const QImage& image, const QString& path);

}  // namespace tv
