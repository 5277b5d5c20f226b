#pragma once
// The pictures of the main window, drawn here rather than shipped as files: the five 16 x 15
// tool bar images and the 32 x 32 application icon.

#include <QIcon>
#include <QPixmap>

namespace tv {

enum class ToolbarImage { Open, Previous, Next, PrintPreview, About };

QPixmap DrawToolbarImage(ToolbarImage which);
QIcon ApplicationIcon();

}  // namespace tv
