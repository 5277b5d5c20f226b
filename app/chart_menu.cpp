#include "chart_menu.h"

#include <QMenu>
#include <functional>
#include <optional>
#include <utility>

#include "Doc.h"
#include "command_ids.h"
#include "commands.h"
#include "compare_dialog.h"
#include "study_dialog.h"

namespace tv {

namespace {

std::optional<studies::StudyConfig> FirstStudy(const ChartSettings& s, studies::StudyKind kind) {
  for (const studies::StudyConfig& config : s.studies)
    if (config.kind == kind) return config;
  return std::nullopt;
}

using Checked = std::function<bool(const ChartSettings&)>;
using Change = std::function<void(ChartSettings&)>;

// A command whose check mark follows `checked` and whose choice changes the settings through
// `change`; enabled only where the chart is the extended one.
void Setting(CommandTable& c, CTickvaneDoc& doc, int id, Checked checked, Change change) {
  c.SetRule(id, [&doc] { return doc.GetBars().IsExtended(); });
  c.SetCheckRule(id,
                 [&doc, checked = std::move(checked)] { return checked(doc.GetChartSettings()); });
  c.SetHandler(id, [&doc, change = std::move(change)] {
    ChartSettings s = doc.GetChartSettings();
    change(s);
    doc.SetChartSettings(s);
  });
}

struct StudyCommand {
  int id;
  studies::StudyKind kind;
};
constexpr StudyCommand kStudyCommands[] = {
    {cmd::kChartBollinger, studies::StudyKind::Bollinger},
    {cmd::kChartRsi, studies::StudyKind::Rsi},
    {cmd::kChartMacd, studies::StudyKind::Macd},
    {cmd::kChartStochastic, studies::StudyKind::Stochastic},
};

// Compare With: the securities drawn against the current one.
void RegisterCompareCommand(CommandTable& c, CTickvaneDoc& doc,
                            const std::function<QWidget*()>& dialogParent) {
  c.SetRule(cmd::kCompareWith, [&doc] { return doc.GetBars().IsExtended(); });
  c.SetCheckRule(cmd::kCompareWith, [&doc] { return !doc.GetChartSettings().compare.empty(); });
  c.SetHandler(cmd::kCompareWith, [&doc, dialogParent] {
    ChartSettings s = doc.GetChartSettings();
    const auto chosen = AskCompare(dialogParent(), doc.GetBars(), s.compare);
    if (!chosen) return;
    s.compare = *chosen;
    doc.SetChartSettings(s);
  });
}

}  // namespace

void RegisterChartCommands(CommandTable& c, CTickvaneDoc& doc,
                           const std::function<QWidget*()>& dialogParent) {
  const std::pair<int, plot::Style> styles[] = {
      {cmd::kChartHlc, plot::Style::Hlc},
      {cmd::kChartOhlc, plot::Style::Ohlc},
      {cmd::kChartCandles, plot::Style::Candles},
      {cmd::kChartLine, plot::Style::Line},
  };
  for (const auto& [id, style] : styles) {
    Setting(
        c, doc, id, [style = style](const ChartSettings& s) { return s.style == style; },
        [style = style](ChartSettings& s) { s.style = style; });
  }
  const std::pair<int, plot::Period> periods[] = {
      {cmd::kChartPeriodBars, plot::Period::Bars},
      {cmd::kChartPeriodDaily, plot::Period::Daily},
      {cmd::kChartPeriodWeekly, plot::Period::Weekly},
      {cmd::kChartPeriodMonthly, plot::Period::Monthly},
  };
  for (const auto& [id, period] : periods) {
    Setting(
        c, doc, id, [period = period](const ChartSettings& s) { return s.period == period; },
        [period = period](ChartSettings& s) { s.period = period; });
  }
  Setting(
      c, doc, cmd::kChartLog, [](const ChartSettings& s) { return s.log; },
      [](ChartSettings& s) { s.log = !s.log; });
  const std::pair<int, plot::AverageKind> averages[] = {
      {cmd::kChartSimple, plot::AverageKind::Simple},
      {cmd::kChartExponential, plot::AverageKind::Exponential},
  };
  for (const auto& [id, kind] : averages) {
    Setting(
        c, doc, id, [kind = kind](const ChartSettings& s) { return s.averages == kind; },
        [kind = kind](ChartSettings& s) {
          // Every average of the list takes the kind, as the view options' two do.
          s.averages = kind;
          if (s.averageList)
            for (plot::PlotAverage& a : *s.averageList) a.kind = kind;
        });
  }
  Setting(
      c, doc, cmd::kChartOpenInterest, [](const ChartSettings& s) { return s.openInterest; },
      [](ChartSettings& s) { s.openInterest = !s.openInterest; });
  Setting(
      c, doc, cmd::kChartCrosshair, [](const ChartSettings& s) { return s.crosshair; },
      [](ChartSettings& s) { s.crosshair = !s.crosshair; });
  // A study's command is ticked while the chart shows it and opens the study's dialog.
  for (const auto& [id, kind] : kStudyCommands) {
    c.SetRule(id, [&doc] { return doc.GetBars().IsExtended(); });
    c.SetCheckRule(
        id, [&doc, kind = kind] { return FirstStudy(doc.GetChartSettings(), kind).has_value(); });
    c.SetHandler(id, [&doc, dialogParent, kind = kind] {
      ChartSettings s = doc.GetChartSettings();
      const auto choice = AskStudy(dialogParent(), kind, FirstStudy(s, kind));
      if (!choice) return;
      ChooseStudy(s, kind, choice->chosen);
      doc.SetChartSettings(s);
    });
  }
  c.SetRule(cmd::kChartAveragesStudies, [&doc] { return doc.GetBars().IsExtended(); });
  c.SetHandler(cmd::kChartAveragesStudies, [&doc, dialogParent] {
    ChartSettings s = doc.GetChartSettings();
    const auto items = AskChartItems(dialogParent(), ChartItems(doc.GetBars(), s));
    if (!items) return;
    SetChartItems(s, *items);
    doc.SetChartSettings(s);
  });
  RegisterCompareCommand(c, doc, dialogParent);
}

QMenu* CreateChartMenu(QWidget* parent, const CommandTable& commands) {
  auto* menu = new QMenu("&Chart", parent);
  menu->setObjectName("menuChart");
  const int layout[] = {cmd::kChartHlc,
                        cmd::kChartOhlc,
                        cmd::kChartCandles,
                        cmd::kChartLine,
                        0,
                        cmd::kChartLog,
                        0,
                        cmd::kChartSimple,
                        cmd::kChartExponential,
                        cmd::kChartAveragesStudies,
                        0,
                        cmd::kChartOpenInterest,
                        cmd::kChartCrosshair,
                        0,
                        cmd::kChartBollinger,
                        cmd::kChartRsi,
                        cmd::kChartMacd,
                        cmd::kChartStochastic,
                        0,
                        cmd::kCompareWith,
                        0,
                        cmd::kFitHistory};
  for (const int id : layout) {
    if (id == 0)
      menu->addSeparator();
    else if (QAction* a = commands.Action(id))
      menu->addAction(a);
    // The period's bars: the file's own, or one bar a day, week or month.
    if (id == cmd::kChartLine) {
      menu->addSeparator();
      QMenu* periods = menu->addMenu("&Period");
      periods->setObjectName("menuChartPeriod");
      for (const int period : {cmd::kChartPeriodBars, cmd::kChartPeriodDaily,
                               cmd::kChartPeriodWeekly, cmd::kChartPeriodMonthly})
        if (QAction* a = commands.Action(period)) periods->addAction(a);
    }
  }
  return menu;
}

}  // namespace tv
