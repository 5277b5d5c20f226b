// The View Options dialog: the exchange of its values with their checks, the enabling of the
// length fields, "Default", the folding colour part, the colour list and the palette.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "Doc.h"
#include "Odbutton.h"
#include "Odlist.h"
#include "Voptdlg.h"
#include "memory_profile.h"
#include "recording_surface.h"

namespace {

using fixture::RecordingMessages;

class ViewOptionsTest : public ::testing::Test {
 protected:
  void Open(int ma1 = 10, int ma2 = 20, int showMA1 = 1, int showMA2 = 1, int barSpace = 4) {
    dialog = std::make_unique<tv::CViewOptionsDlg>(bars, messages);
    dialog->m_ma1Length = ma1;
    dialog->m_ma2Length = ma2;
    dialog->m_showMA1 = showMA1;
    dialog->m_showMA2 = showMA2;
    dialog->m_showVolume = 1;
    dialog->m_barSpace = barSpace;
    dialog->show();
    QApplication::processEvents();
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages.messages) out.push_back(m.text);
    return out;
  }

  CBars bars;
  RecordingMessages messages;
  std::unique_ptr<tv::CViewOptionsDlg> dialog;
};

TEST_F(ViewOptionsTest, RefusedValuesKeepTheDialogOpenWithTheirMessageAndFocus) {
  struct Case {
    QLineEdit* (tv::CViewOptionsDlg::*field)() const;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {&tv::CViewOptionsDlg::barSpaceEdit, "1", "Please enter an integer between 2 and 10."},
      {&tv::CViewOptionsDlg::barSpaceEdit, "11", "Please enter an integer between 2 and 10."},
      {&tv::CViewOptionsDlg::ma1Edit, "51", "Please enter an integer between 2 and 50."},
      {&tv::CViewOptionsDlg::ma2Edit, "1", "Please enter an integer between 2 and 50."},
      {&tv::CViewOptionsDlg::ma2Edit, "ten", "Please enter an integer."},
      {&tv::CViewOptionsDlg::ma1Edit, "", "Please enter an integer."},
      {&tv::CViewOptionsDlg::ma1Edit, "1.5", "Please enter an integer."},
      // A number too long for any integer is still a number: out of range.
      {&tv::CViewOptionsDlg::ma1Edit, "99999999999", "Please enter an integer between 2 and 50."},
  };
  for (const Case& c : cases) {
    Open();
    messages.messages.clear();
    QLineEdit* field = ((*dialog).*(c.field))();
    field->setText(c.text);
    dialog->okButton()->click();
    EXPECT_EQ(Texts(), std::vector<std::string>{c.message}) << c.text;
    EXPECT_TRUE(dialog->isVisible()) << c.text;
    EXPECT_EQ(dialog->result(), QDialog::Rejected) << c.text;
    EXPECT_EQ(dialog->focusWidget(), field) << c.text;
    EXPECT_EQ(field->selectedText(), QString(c.text)) << c.text;
  }
}

TEST_F(ViewOptionsTest, ValuesAreCheckedInExchangeOrderAndTakenOnlyWhenAllPass) {
  Open();
  dialog->ma2Edit()->setText("51");
  dialog->barSpaceEdit()->setText("11");
  dialog->ma1Edit()->setText("12");
  dialog->showVolumeBox()->setChecked(false);
  EXPECT_FALSE(dialog->UpdateData(true));
  // The bar spacing is exchanged before the second length.
  EXPECT_EQ(Texts(), std::vector<std::string>{"Please enter an integer between 2 and 10."});
  EXPECT_EQ(dialog->focusWidget(), dialog->barSpaceEdit());
  EXPECT_EQ(dialog->m_ma1Length, 12);  // taken before the refusal
  EXPECT_EQ(dialog->m_barSpace, 4);    // a refused value is not taken
  EXPECT_EQ(dialog->m_ma2Length, 20);

  dialog->barSpaceEdit()->setText(" 10 ");
  dialog->ma2Edit()->setText("2");
  dialog->okButton()->click();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->m_barSpace, 10);
  EXPECT_EQ(dialog->m_ma2Length, 2);
  EXPECT_EQ(dialog->m_showVolume, 0);
}

TEST_F(ViewOptionsTest, AverageCheckBoxesEnableTheirLengthFields) {
  Open(10, 20, 1, 0);
  EXPECT_TRUE(dialog->ma1Edit()->isEnabled());
  EXPECT_TRUE(dialog->ma1Label()->isEnabled());
  EXPECT_FALSE(dialog->ma2Edit()->isEnabled());
  EXPECT_FALSE(dialog->ma2Label()->isEnabled());
  EXPECT_EQ(dialog->focusWidget(), dialog->showVolumeBox());

  dialog->showMA2Box()->click();
  EXPECT_EQ(dialog->m_showMA2, 1);
  EXPECT_TRUE(dialog->ma2Edit()->isEnabled());
  EXPECT_TRUE(dialog->ma2Label()->isEnabled());

  dialog->showMA1Box()->click();
  EXPECT_FALSE(dialog->ma1Edit()->isEnabled());
  EXPECT_FALSE(dialog->ma1Label()->isEnabled());
  EXPECT_TRUE(messages.messages.empty());

  // A click runs the checks: a bad length is reported, and the field it sends the user to
  // stays editable even though the click would have greyed it.
  dialog->ma2Edit()->setText("99");
  dialog->showMA2Box()->click();
  EXPECT_EQ(Texts(), std::vector<std::string>{"Please enter an integer between 2 and 50."});
  EXPECT_TRUE(dialog->ma2Edit()->isEnabled());
  EXPECT_EQ(dialog->focusWidget(), dialog->ma2Edit());
}

TEST_F(ViewOptionsTest, DefaultRestoresTheNumbersAndTicksButLeavesColours) {
  bars.SetWorkColor(kVolume, 6);
  Open(30, 40, 0, 0, 9);
  dialog->showVolumeBox()->setChecked(false);
  dialog->defaultButton()->click();
  EXPECT_EQ(dialog->ma1Edit()->text(), "10");
  EXPECT_EQ(dialog->ma2Edit()->text(), "20");
  EXPECT_EQ(dialog->barSpaceEdit()->text(), "4");
  EXPECT_TRUE(dialog->showVolumeBox()->isChecked());
  EXPECT_TRUE(dialog->showMA1Box()->isChecked());
  EXPECT_TRUE(dialog->showMA2Box()->isChecked());
  EXPECT_TRUE(dialog->ma1Edit()->isEnabled() && dialog->ma1Label()->isEnabled());
  EXPECT_TRUE(dialog->ma2Edit()->isEnabled() && dialog->ma2Label()->isEnabled());
  EXPECT_EQ(bars.GetWorkColor(kVolume), 6);
}

TEST_F(ViewOptionsTest, ColorsButtonFoldsBetweenShortAndFullHeight) {
  Open();
  const tv::DialogUnits& du = dialog->units();
  const QRect window = dialog->frameGeometry();
  // Full: the whole dialog. Short: down to the "Colors >>" button and three frame widths.
  const int decoration = window.height() - dialog->geometry().height();
  EXPECT_EQ(dialog->m_fullHeight, du.Y(253) + decoration);
  const int buttonBottom = dialog->geometry().top() + du.Y(135 + 15);
  EXPECT_EQ(dialog->m_shortHeight, buttonBottom - window.top() + 3 * dialog->FrameThickness());
  EXPECT_LT(dialog->m_shortHeight, dialog->m_fullHeight);

  // Opened short, with the top edge of the centred full-size dialog.
  const QRect screen = QApplication::primaryScreen()->geometry();
  EXPECT_EQ(window.height(), dialog->m_shortHeight);
  EXPECT_EQ(window.top(), (screen.height() - dialog->m_fullHeight) / 2);
  EXPECT_EQ(window.left(), (screen.width() - window.width()) / 2);
  EXPECT_EQ(dialog->colorsButton()->text(), "Colors >>");
  EXPECT_FALSE(dialog->m_colorList->isEnabled());

  const int expectHeight[] = {dialog->m_fullHeight, dialog->m_shortHeight, dialog->m_fullHeight};
  const char* expectText[] = {"Shrink <<", "Colors >>", "Shrink <<"};
  for (int press = 0; press < 3; ++press) {
    dialog->colorsButton()->click();
    QApplication::processEvents();
    const QRect now = dialog->frameGeometry();
    EXPECT_EQ(now.height(), expectHeight[press]) << press;
    EXPECT_EQ(now.topLeft(), window.topLeft()) << press;
    EXPECT_EQ(now.width(), window.width()) << press;
    EXPECT_EQ(dialog->colorsButton()->text(), expectText[press]) << press;
    const bool expanded = press != 1;
    EXPECT_EQ(dialog->m_expanded, expanded ? 1 : 0) << press;
    EXPECT_EQ(dialog->m_colorList->isEnabled(), expanded) << press;
    for (tv::CPaletteButton* button : dialog->m_buttons)
      EXPECT_EQ(button->isEnabled(), expanded) << press;
  }
  EXPECT_EQ(dialog->m_colorList->count(), 10);
}

TEST_F(ViewOptionsTest, PaletteChangesOnlyTheWorkingColourOfTheSelectedItem) {
  Open();
  dialog->colorsButton()->click();
  // No item selected: a message, nothing changed.
  dialog->m_buttons[6]->click();
  EXPECT_EQ(Texts(), std::vector<std::string>{"You have not selected a colorable item"});
  EXPECT_EQ(messages.messages.front().icon, tv::MessageIcon::None);
  EXPECT_EQ(bars.m_workColors, CBars::kDefaultScreenColors);

  dialog->m_colorList->setCurrentRow(kVolume);
  dialog->m_buttons[6]->click();
  EXPECT_EQ(bars.GetWorkColor(kVolume), 6);
  EXPECT_EQ(bars.m_screenColors, CBars::kDefaultScreenColors);
  EXPECT_EQ(dialog->m_colorList->count(), 10);
  EXPECT_EQ(dialog->m_colorList->currentRow(), kVolume);
  EXPECT_EQ(dialog->m_colorList->selectedItems().size(), 1);
  EXPECT_EQ(messages.messages.size(), 1u);
}

TEST(ColorItemDrawing, SwatchNameHighlightAndFocusAsTheListDrawsThem) {
  CBars bars;
  bars.SetWorkColor(kVolume, 6);
  fixture::RecordingSurface surface;
  const tv::Rect item{0, 180, 150, 200};
  const tv::Rgb highlight = surface.GetSystemColor(tv::SystemColor::Highlight);
  const tv::Rgb highlightText = surface.GetSystemColor(tv::SystemColor::HighlightText);
  const tv::Rgb window = surface.GetSystemColor(tv::SystemColor::Window);
  surface.SetTextColor({1, 2, 3});
  surface.SetBkColor({4, 5, 6});

  tv::DrawColorItem(surface, bars, kVolume, item, true);
  const auto opaque = surface.Of(fixture::OpKind::TextOpaque);
  ASSERT_EQ(opaque.size(), 1u);
  EXPECT_EQ(opaque[0].rect, item);
  EXPECT_EQ(opaque[0].bkColor, highlight);
  const auto fills = surface.Of(fixture::OpKind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].rect, (tv::Rect{0, 180, 20, 200}));
  EXPECT_EQ(fills[0].brush.color, window);
  const auto swatch = surface.Of(fixture::OpKind::Rectangle);
  ASSERT_EQ(swatch.size(), 1u);
  EXPECT_EQ(swatch[0].rect, (tv::Rect{3, 183, 17, 197}));
  EXPECT_EQ(swatch[0].brush.color, (tv::Rgb{255, 255, 0}));
  const auto text = surface.Of(fixture::OpKind::Text);
  ASSERT_EQ(text.size(), 1u);
  EXPECT_EQ(text[0].text, "Volume");
  EXPECT_EQ(text[0].from, (tv::Point{23, 183}));
  EXPECT_EQ(text[0].textColor, highlightText);
  // Everything it changed is put back.
  EXPECT_EQ(surface.CurrentTextColor(), (tv::Rgb{1, 2, 3}));
  EXPECT_EQ(surface.CurrentBrush(), tv::Brush{});

  surface.ops.clear();
  tv::DrawColorItem(surface, bars, kBackground, item, false);
  EXPECT_EQ(surface.Of(fixture::OpKind::TextOpaque)[0].bkColor, (tv::Rgb{4, 5, 6}));
  EXPECT_EQ(surface.Of(fixture::OpKind::Rectangle)[0].brush.color, (tv::Rgb{0, 0, 0}));
  EXPECT_EQ(surface.Of(fixture::OpKind::Text)[0].textColor, (tv::Rgb{1, 2, 3}));

  surface.ops.clear();
  tv::DrawColorItemFocus(surface, item);
  EXPECT_EQ(surface.Of(fixture::OpKind::FocusRect)[0].rect, (tv::Rect{20, 180, 150, 200}));
}

TEST(PaletteButtonDrawing, ButtonsAndColourListPaintThePaletteAndWorkingColours) {
  CBars bars;
  // Top row black, blue, green, cyan; bottom row red,
  // magenta, yellow, white.
  RecordingMessages messages;
  tv::CViewOptionsDlg dialog(bars, messages);
  dialog.OnInitDialog();
  dialog.OnColors();
  const QColor expected[] = {Qt::black, Qt::blue,    Qt::green,  Qt::cyan,
                             Qt::red,   Qt::magenta, Qt::yellow, Qt::white};
  for (int k = 0; k < 8; ++k) {
    tv::CPaletteButton* button = dialog.m_buttons[static_cast<std::size_t>(k)];
    EXPECT_EQ(button->id(), 123 + k);
    const QImage image = button->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2), expected[k]) << k;
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black)) << k;  // the outline
  }
  // The colour list shows exactly the ten items, 20 pixels each, with the working colours.
  bars.SetWorkColor(kAxes, 4);
  tv::CColorItemList& list = *dialog.m_colorList;
  ASSERT_EQ(list.count(), 10);
  EXPECT_EQ(list.visualItemRect(list.item(1)).height(), tv::kColorItemHeight);
  const QImage shown = list.viewport()->grab().toImage();
  const QRect axes = list.visualItemRect(list.item(1));
  EXPECT_EQ(shown.pixelColor(10, axes.top() + 10), QColor(Qt::red));
  EXPECT_EQ(shown.pixelColor(10, axes.top() + 10 - tv::kColorItemHeight), QColor(Qt::black));
}

// The whole road: the document's View Options command running the dialog.
class ViewOptionsCommandTest : public ::testing::Test {
 protected:
  static void ChooseYellowBackgroundThen(bool ok) {
    QTimer::singleShot(0, [ok] {
      auto* dialog = static_cast<tv::CViewOptionsDlg*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->colorsButton()->click();
      dialog->m_colorList->setCurrentRow(kBackground);
      dialog->m_buttons[6]->click();
      dialog->barSpaceEdit()->setText("7");
      (ok ? dialog->okButton() : dialog->cancelButton())->click();
    });
  }
  tv::Rgb DrawnBackground() {
    fixture::RecordingSurface surface;
    doc.GetBars().Draw(surface, {0, 0, 400, 300}, false);
    const auto fills = surface.Of(fixture::OpKind::FillRect);
    return fills.empty() ? tv::Rgb{1, 1, 1} : fills.front().brush.color;
  }

  fixture::MemoryProfile profile;
  RecordingMessages messages;
  tv::CTickvaneDoc doc{profile, messages};
  tv::ViewOptionsDialog runner = [this](CBars& bars, tv::ViewOptions& values) {
    return tv::RunViewOptionsDialog(messages, bars, values);
  };
};

TEST_F(ViewOptionsCommandTest, CancelForgetsTheColourAtTheNextDrawOkKeepsAndStoresIt) {
  doc.SetViewOptionsDialog(runner);

  ChooseYellowBackgroundThen(false);
  doc.OnViewOptions();
  EXPECT_EQ(DrawnBackground(), (tv::Rgb{0, 0, 0}));
  EXPECT_EQ(doc.GetBars().GetWorkColor(kBackground), 0);
  EXPECT_EQ(doc.GetBars().GetBarSpace(), 4);
  EXPECT_TRUE(profile.writes.empty());

  ChooseYellowBackgroundThen(true);
  doc.OnViewOptions();
  EXPECT_EQ(DrawnBackground(), (tv::Rgb{255, 255, 0}));
  EXPECT_EQ(doc.GetBars().GetBarSpace(), 7);
  ASSERT_NE(profile.Get("ViewOptions", "Colors"), nullptr);
  EXPECT_EQ(*profile.Get("ViewOptions", "Colors"), "6723733414");
  EXPECT_EQ(*profile.Get("ViewOptions", "BarSpace"), "7");
  EXPECT_TRUE(messages.messages.empty());
}

}  // namespace
