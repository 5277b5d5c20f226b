#pragma once
// The dialog of one study in the Chart menu: whether the chart shows it, and its parameters.

#include <optional>

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

}  // namespace tv
