#pragma once
// Command identifiers. The program's own commands and the standard framework commands keep
// their classic numbers, so menus, tool bar, keys and the context menu all name a command the
// same way.

namespace tv::cmd {

inline constexpr int kNext = 32768;
inline constexpr int kPrevious = 32769;
inline constexpr int kViewOptions = 32771;
inline constexpr int kGoTo = 32772;
inline constexpr int kSlideShow = 32773;
// Extended mode's Chart menu.
inline constexpr int kFitHistory = 32790;

inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintDirect = 57608;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kFileMru1 = 57616;
// The File menu's recent files: kFileMru1 to kFileMru1 + kFileMruCount - 1.
inline constexpr int kFileMruCount = 4;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kHelpIndex = 57667;
inline constexpr int kContextHelp = 57669;
inline constexpr int kHelp = 57670;
inline constexpr int kDefaultHelp = 57671;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;

// Status bar panes.
inline constexpr int kPaneCounter = 1;
inline constexpr int kPanePie = 3;

}  // namespace tv::cmd
