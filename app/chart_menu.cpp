#include "chart_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <functional>
#include <utility>

#include "Doc.h"

namespace tv {

namespace {

// A checkable item whose mark follows `checked` each time the menu opens and whose choice
// changes the settings through `change`.
using Checked = std::function<bool(const ChartSettings&)>;
using Change = std::function<void(ChartSettings&)>;

QAction* AddItem(QMenu* menu, QActionGroup* group, const char* text, CTickvaneDoc& doc,
                 const Checked& checked, Change change) {
  QAction* a = menu->addAction(QString::fromLatin1(text));
  a->setCheckable(true);
  if (group) group->addAction(a);
  QObject::connect(menu, &QMenu::aboutToShow, a,
                   [a, &doc, checked] { a->setChecked(checked(doc.GetChartSettings())); });
  QObject::connect(a, &QAction::triggered, a, [&doc, change = std::move(change)] {
    ChartSettings s = doc.GetChartSettings();
    change(s);
    doc.SetChartSettings(s);
  });
  return a;
}

}  // namespace

QMenu* CreateChartMenu(QWidget* parent, CTickvaneDoc& doc) {
  auto* menu = new QMenu("&Chart", parent);
  menu->setObjectName("menuChart");
  auto* styles = new QActionGroup(menu);
  const std::pair<const char*, plot::Style> styleItems[] = {
      {"&High-Low-Close Bars", plot::Style::Hlc},
      {"&Open-High-Low-Close Bars", plot::Style::Ohlc},
      {"&Candles", plot::Style::Candles},
      {"Close &Line", plot::Style::Line},
  };
  for (const auto& [text, style] : styleItems) {
    AddItem(
        menu, styles, text, doc,
        [style = style](const ChartSettings& s) { return s.style == style; },
        [style = style](ChartSettings& s) { s.style = style; });
  }
  menu->addSeparator();
  AddItem(
      menu, nullptr, "Lo&g Scale", doc, [](const ChartSettings& s) { return s.log; },
      [](ChartSettings& s) { s.log = !s.log; });
  menu->addSeparator();
  auto* averages = new QActionGroup(menu);
  const std::pair<const char*, plot::AverageKind> averageItems[] = {
      {"&Simple Moving Averages", plot::AverageKind::Simple},
      {"&Exponential Moving Averages", plot::AverageKind::Exponential},
  };
  for (const auto& [text, kind] : averageItems) {
    AddItem(
        menu, averages, text, doc,
        [kind = kind](const ChartSettings& s) { return s.averages == kind; },
        [kind = kind](ChartSettings& s) { s.averages = kind; });
  }
  menu->addSeparator();
  AddItem(
      menu, nullptr, "C&rosshair", doc, [](const ChartSettings& s) { return s.crosshair; },
      [](ChartSettings& s) { s.crosshair = !s.crosshair; });
  return menu;
}

}  // namespace tv
