#pragma once
// The Chart menu of extended mode: the bar style, the period of a bar, the log scale, the kind of
// moving average, the crosshair and the studies, each change drawn at once and kept in the settings
// file's section "Chart". The classic program has no such menu.

class QMenu;
class QWidget;

namespace tv {

class CTickvaneDoc;

QMenu* CreateChartMenu(QWidget* parent, CTickvaneDoc& doc);

}  // namespace tv
