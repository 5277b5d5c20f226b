#pragma once
// The dialog of one study in the Chart menu: whether the chart shows it, and its parameters.

#include <optional>
#include <vector>

#include "chart_settings.h"
#include "study_config.h"

class QWidget;

namespace tv {

struct StudyChoice {
  std::optional<studies::StudyConfig> chosen;  // nothing: the study is not shown
};

// Opens the dialog for `kind`, filled from `current` (the defaults when the chart does not show
// that study). Returns the choice, or nothing when the dialog is cancelled.
std::optional<StudyChoice> AskStudy(QWidget* parent, studies::StudyKind kind,
                                    const std::optional<studies::StudyConfig>& current);

// The menu's name of a kind of study ("Bollinger Bands").
const char* StudyTitle(studies::StudyKind kind);

// The Averages and Studies dialog: every average and study the chart shows, in the order
// they are drawn, to add, change, remove or reorder, up to kMaxStudies in all. Returns the
// new list, or nothing when the dialog is cancelled.
std::optional<std::vector<ChartItem>> AskChartItems(QWidget* parent, std::vector<ChartItem> items);

// How the dialog lists a line: "SMA(50)", "Bollinger(20,2)".
std::string ChartItemText(const ChartItem& item);

}  // namespace tv
