#pragma once
// The View Options dialog: which chart elements are shown, the two moving-average lengths,
// the bar spacing, and, folded away at first, the colours of the ten colour items picked from
// the eight-colour palette.

#include <array>
#include <string>

#include "Doc.h"
#include "dialog_frame.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CBars;

namespace tv {

class CColorItemList;
class CPaletteButton;
class MessageService;

// The two messages of a refused number.
inline constexpr std::string_view kNotAnIntegerMessage = "Please enter an integer.";
std::string OutOfRangeMessage(int low, int high);

// Reads a whole decimal integer the way the dialog's fields are read: blanks around it and a
// sign allowed, nothing else. `tooLarge` is set for a number beyond int's range.
bool ParseDialogInt(std::string_view text, int& value, bool& tooLarge);

class CViewOptionsDlg final : public DialogFrame {
 public:
  // Control ids of the dialog.
  static constexpr int kIdShowVolume = 103;
  static constexpr int kIdShowMA1 = 104;
  static constexpr int kIdMA1Length = 105;
  static constexpr int kIdMA1Label = 106;
  static constexpr int kIdDefault = 107;
  static constexpr int kIdBarSpace = 109;
  static constexpr int kIdBarSpaceLabel = 110;
  static constexpr int kIdMA2Length = 115;
  static constexpr int kIdMA2Label = 116;
  static constexpr int kIdShowMA2 = 117;
  static constexpr int kIdColors = 121;
  static constexpr int kIdColorList = 122;

  // `bars` is the chart object whose options the dialog edits: the colour list, the palette
  // buttons and the palette handler all work on it. Messages go through `messages`.
  CViewOptionsDlg(CBars& bars, MessageService& messages, QWidget* parent = nullptr);
  ~CViewOptionsDlg() override;

  int m_fullHeight = 0;
  int m_shortHeight = 0;
  int m_expanded = 0;
  CColorItemList* m_colorList = nullptr;
  std::array<CPaletteButton*, 8> m_buttons{};
  int m_ma1Length = 0;
  int m_ma2Length = 0;
  int m_showMA1 = 0;
  int m_showMA2 = 0;
  int m_showVolume = 0;
  int m_barSpace = 0;

  // The six option members as one struct, and back.
  ViewOptions GetOptions() const;
  void SetOptions(const ViewOptions& options);

  // Puts the values into the controls, sets the enabling, measures the two heights and shows
  // the dialog short and centred. Runs once, when the dialog is first shown; tests may call
  // it on a dialog that is not running.
  void OnInitDialog() override;
  // Moves the members into the controls, or the controls into the members with the range
  // checks; a refused value shows its message, takes the focus and returns false.
  bool UpdateData(bool save);

  void OnShowMA1();
  void OnShowMA2();
  void OnDefault();
  void OnColors();
  void OnPalette(int k);
  // OK: ends with OK only when every value passes its check.
  void accept() override;

  // The thickness of a window's sizing frame that the short height allows for below the
  // "Colors >>" button.
  int FrameThickness() const;

  QCheckBox* showVolumeBox() const { return m_showVolumeBox; }
  QCheckBox* showMA1Box() const { return m_showMA1Box; }
  QCheckBox* showMA2Box() const { return m_showMA2Box; }
  QLineEdit* ma1Edit() const { return m_ma1Edit; }
  QLineEdit* ma2Edit() const { return m_ma2Edit; }
  QLineEdit* barSpaceEdit() const { return m_barSpaceEdit; }
  QLabel* ma1Label() const { return m_ma1Label; }
  QLabel* ma2Label() const { return m_ma2Label; }
  QPushButton* defaultButton() const { return m_default; }
  QPushButton* colorsButton() const { return m_colors; }

 private:
  bool ExchangeInt(QLineEdit* edit, int& member, IntRange range);
  void EnableMA1();
  void EnableMA2();
  void Refuse(QLineEdit* edit, std::string_view message);

  CBars& m_bars;
  MessageService& m_messages;
  QCheckBox* m_showVolumeBox = nullptr;
  QCheckBox* m_showMA1Box = nullptr;
  QCheckBox* m_showMA2Box = nullptr;
  QLineEdit* m_ma1Edit = nullptr;
  QLineEdit* m_ma2Edit = nullptr;
  QLineEdit* m_barSpaceEdit = nullptr;
  QPushButton* m_default = nullptr;
  QPushButton* m_colors = nullptr;
  QLabel* m_ma1Label = nullptr;
  QLabel* m_ma2Label = nullptr;
  QLabel* m_barSpaceLabel = nullptr;
  int m_initDecoration = 0;  // frame height known when the heights were measured
};

// Runs the View Options dialog for the document's View Options command.
// Refused values are reported through `messages`.
bool RunViewOptionsDialog(MessageService& messages, CBars& bars, ViewOptions& values);

}  // namespace tv
