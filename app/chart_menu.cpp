#include "chart_menu.h"

#include <QActionGroup>
#include <QMenu>
#include <functional>
#include <optional>
#include <utility>

#include "Doc.h"
#include "study_dialog.h"

namespace tv {

namespace {

std::optional<studies::StudyConfig> FirstStudy(const ChartSettings& s, studies::StudyKind kind) {
  for (const studies::StudyConfig& config : s.studies)
    if (config.kind == kind) return config;
  return std::nullopt;
}

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

// One item per study: ticked while the chart shows it; choosing it opens the study's dialog.
void AddStudyItems(QMenu* menu, CTickvaneDoc& doc) {
  using studies::StudyKind;
  const std::pair<const char*, StudyKind> items[] = {
      {"&Bollinger Bands...", StudyKind::Bollinger},
      {"RS&I...", StudyKind::Rsi},
      {"&MACD...", StudyKind::Macd},
      {"S&tochastic...", StudyKind::Stochastic},
  };
  for (const auto& [text, kind] : items) {
    QAction* a = menu->addAction(QString::fromLatin1(text));
    a->setCheckable(true);
    QObject::connect(menu, &QMenu::aboutToShow, a, [a, &doc, kind = kind] {
      a->setChecked(FirstStudy(doc.GetChartSettings(), kind).has_value());
    });
    QObject::connect(a, &QAction::triggered, a, [menu, a, &doc, kind = kind] {
      ChartSettings s = doc.GetChartSettings();
      a->setChecked(FirstStudy(s, kind).has_value());  // until the dialog says otherwise
      const auto choice = AskStudy(menu->parentWidget(), kind, FirstStudy(s, kind));
      if (!choice) return;
      ChooseStudy(s, kind, choice->chosen);
      doc.SetChartSettings(s);
    });
  }
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
  // The period's bars: the file's own, or one bar a day, week or month.
  QMenu* periodMenu = menu->addMenu("&Period");
  periodMenu->setObjectName("menuChartPeriod");
  auto* periods = new QActionGroup(periodMenu);
  const std::pair<const char*, plot::Period> periodItems[] = {
      {"&Bars as Read", plot::Period::Bars},
      {"&Daily", plot::Period::Daily},
      {"&Weekly", plot::Period::Weekly},
      {"&Monthly", plot::Period::Monthly},
  };
  for (const auto& [text, period] : periodItems) {
    AddItem(
        periodMenu, periods, text, doc,
        [period = period](const ChartSettings& s) { return s.period == period; },
        [period = period](ChartSettings& s) { s.period = period; });
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
      menu, nullptr, "Open &Interest", doc, [](const ChartSettings& s) { return s.openInterest; },
      [](ChartSettings& s) { s.openInterest = !s.openInterest; });
  AddItem(
      menu, nullptr, "C&rosshair", doc, [](const ChartSettings& s) { return s.crosshair; },
      [](ChartSettings& s) { s.crosshair = !s.crosshair; });
  menu->addSeparator();
  AddStudyItems(menu, doc);
  return menu;
}

}  // namespace tv
