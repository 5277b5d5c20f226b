#include "study_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>
#include <array>
#include <vector>

namespace tv {

namespace {

using studies::StudyKind;

// The names of a study's whole-number parameters, in the order of StudyConfig::lengths.
std::vector<const char*> LengthNames(StudyKind kind) {
  switch (kind) {
    case StudyKind::Macd:
      return {"&Fast length:", "&Slow length:", "Si&gnal length:"};
    case StudyKind::Stochastic:
      return {"%&K length:", "%&D length:"};
    default:
      return {"&Length:"};
  }
}

// A kind's defaults are what its bare name parses to; sma and ema have none of their own.
const char* DefaultText(StudyKind kind) {
  switch (kind) {
    case StudyKind::Sma:
      return "sma:20";
    case StudyKind::Ema:
      return "ema:20";
    case StudyKind::Rsi:
      return "rsi";
    case StudyKind::Macd:
      return "macd";
    case StudyKind::Bollinger:
      return "bollinger";
    case StudyKind::Stochastic:
      return "stochastic";
  }
  return "rsi";
}

// The longest window worth offering: a read holds at most 16,000 bars.
constexpr int kMaxLength = 16000;

}  // namespace

const char* StudyTitle(StudyKind kind) {
  switch (kind) {
    case StudyKind::Sma:
      return "Simple Moving Average";
    case StudyKind::Ema:
      return "Exponential Moving Average";
    case StudyKind::Rsi:
      return "RSI";
    case StudyKind::Macd:
      return "MACD";
    case StudyKind::Bollinger:
      return "Bollinger Bands";
    case StudyKind::Stochastic:
      return "Stochastic";
  }
  return "";
}

std::optional<StudyChoice> AskStudy(QWidget* parent, StudyKind kind,
                                    const std::optional<studies::StudyConfig>& current) {
  studies::StudyConfig config = current.value_or(*studies::ParseStudyConfig(DefaultText(kind)));

  QDialog dialog(parent);
  dialog.setObjectName("studyDialog");
  dialog.setWindowTitle(QString::fromLatin1(StudyTitle(kind)));
  auto* form = new QFormLayout(&dialog);
  auto* shown = new QCheckBox(QString("S&how ") + StudyTitle(kind), &dialog);
  shown->setObjectName("shown");
  shown->setChecked(true);  // opened to show it, or to change it: unticking takes it away
  form->addRow(shown);
  std::array<QSpinBox*, 3> lengths{};
  const std::vector<const char*> names = LengthNames(kind);
  for (std::size_t i = 0; i < names.size(); ++i) {
    lengths[i] = new QSpinBox(&dialog);
    lengths[i]->setObjectName(QString("length%1").arg(i + 1));
    lengths[i]->setRange(1, kMaxLength);
    lengths[i]->setValue(config.lengths[i]);
    form->addRow(names[i], lengths[i]);
  }
  QDoubleSpinBox* width = nullptr;
  if (kind == StudyKind::Bollinger) {
    width = new QDoubleSpinBox(&dialog);
    width->setObjectName("width");
    width->setRange(0.1, studies::kMaxBandWidth);
    width->setDecimals(2);
    width->setSingleStep(0.5);
    width->setValue(config.width);
    form->addRow("&Width (standard deviations):", width);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;

  if (!shown->isChecked()) return StudyChoice{};
  for (std::size_t i = 0; i < names.size(); ++i) config.lengths[i] = lengths[i]->value();
  if (width != nullptr) config.width = width->value();
  return StudyChoice{config};
}

}  // namespace tv
