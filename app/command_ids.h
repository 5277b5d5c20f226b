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
// Extended mode's own commands, numbered on from the program's.
inline constexpr int kExplorer = 32790;

// Extended mode's Chart menu.
inline constexpr int kChartHlc = 32800;
inline constexpr int kChartOhlc = 32801;
inline constexpr int kChartCandles = 32802;
inline constexpr int kChartLine = 32803;
inline constexpr int kChartLog = 32804;
inline constexpr int kChartSimple = 32805;
inline constexpr int kChartExponential = 32806;
inline constexpr int kChartOpenInterest = 32807;
inline constexpr int kChartCrosshair = 32808;
inline constexpr int kChartBollinger = 32809;
inline constexpr int kChartRsi = 32810;
inline constexpr int kChartMacd = 32811;
inline constexpr int kChartStochastic = 32812;
inline constexpr int kFitHistory = 32813;
inline constexpr int kChartPeriodBars = 32814;
inline constexpr int kChartPeriodDaily = 32815;
inline constexpr int kChartPeriodWeekly = 32816;
inline constexpr int kChartPeriodMonthly = 32817;
inline constexpr int kChartAveragesStudies = 32818;
inline constexpr int kCompareWith = 32819;

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
