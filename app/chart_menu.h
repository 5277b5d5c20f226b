#pragma once
// The Chart menu of extended mode: the bar style, the period of a bar, the log scale, the kind of
// moving average, the open interest pane, the crosshair and the studies, each change drawn at once
// and kept in the settings file's section "Chart". The classic program has no such menu; its
// commands are rows of the command table like every other, enabled only for the extended chart.

#include <functional>

class QMenu;
class QWidget;

namespace tv {

class CTickvaneDoc;
class CommandTable;

// Sets the handlers, check marks and enable rules of the Chart menu's commands; the study
// dialogs open over dialogParent().
void RegisterChartCommands(CommandTable& commands, CTickvaneDoc& doc,
                           const std::function<QWidget*()>& dialogParent);
// The menu of those commands' actions.
QMenu* CreateChartMenu(QWidget* parent, const CommandTable& commands);

}  // namespace tv
