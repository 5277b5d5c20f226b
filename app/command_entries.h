#pragma once
// The main window's commands as data: id, menu text, status bar prompt and key. The actions
// are made from this table, so each key is stated here and nowhere else; what a command does
// and when it is enabled are wired up where the program starts (CTickvaneApp).

#include <algorithm>
#include <array>

#include "command_ids.h"

namespace tv {

// Whether the menu text shows the command's key after a tab ("&Open...\tCtrl+O").
enum class KeyInMenu : bool { No, Yes };

struct CommandEntry {
  int id = 0;
  // The menu text. A text may carry a label of its own for the key after a tab: Next shows
  // "->" for the Right arrow.
  const char* text = "";
  // The status bar text and, after a "\n", the tool tip.
  const char* prompt = "";
  // The shortcut in Qt's portable text ("Ctrl+O", "Shift+F1", "Right"), or none.
  const char* key = nullptr;
  KeyInMenu keyInMenu = KeyInMenu::No;
};

// In the order the actions are made.
inline constexpr std::array kCommandEntries{
    // File
    CommandEntry{cmd::kFileOpen, "&Open...", "Open an existing document\nOpen an existing document",
                 "Ctrl+O", KeyInMenu::Yes},
    CommandEntry{cmd::kFileClose, "Close", "Close the active document"},
    CommandEntry{cmd::kFilePrint, "&Print...", "Print the active document", "Ctrl+P",
                 KeyInMenu::Yes},
    CommandEntry{cmd::kFilePrintDirect, "Print", "Print the active document"},
    CommandEntry{cmd::kFilePrintPreview, "Print Pre&view", "Display full pages\nPrint Preview"},
    CommandEntry{cmd::kFilePrintSetup, "P&rint Setup...",
                 "Change the printer and printing options"},
    CommandEntry{cmd::kFileMru1, "Recent File", "Open this document"},
    CommandEntry{cmd::kFileMru1 + 1, "Recent File", "Open this document"},
    CommandEntry{cmd::kFileMru1 + 2, "Recent File", "Open this document"},
    CommandEntry{cmd::kFileMru1 + 3, "Recent File", "Open this document"},
    CommandEntry{cmd::kAppExit, "E&xit", "Quit the application; prompts to save documents"},
    CommandEntry{cmd::kFileNew, "New", "Create a new document", "Ctrl+N"},
    // Ctrl+S is bound to Save, which this program does not have: the key never writes anything.
    CommandEntry{cmd::kFileSave, "Save", "Save the active document", "Ctrl+S"},
    // View
    CommandEntry{cmd::kViewOptions, "&Options...", "Change Viewing Options"},
    CommandEntry{cmd::kSlideShow, "S&lide Show...", "Start a Slide Show"},
    // Chart (extended mode)
    CommandEntry{cmd::kFitHistory, "&Fit History\tCtrl+0",
                 "Show the whole history in the window\nFit History", "Ctrl+0"},
    CommandEntry{cmd::kViewToolbar, "&Toolbar", "Show or hide the toolbar"},
    CommandEntry{cmd::kViewStatusBar, "&Status Bar", "Show or hide the status bar"},
    // Select
    CommandEntry{cmd::kNext, "&Next\t->", "Go to next chart\nGo to next chart", "Right"},
    CommandEntry{cmd::kPrevious, "&Previous\t<-", "Go to previous chart\nGo to previous chart",
                 "Left"},
    CommandEntry{cmd::kGoTo, "&Go To...", "Go To Specific Chart"},
    // Chart (extended mode only)
    CommandEntry{cmd::kChartHlc, "&High-Low-Close Bars",
                 "Draw each bar as its range with a tick at the close"},
    CommandEntry{cmd::kChartOhlc, "&Open-High-Low-Close Bars",
                 "Draw each bar as its range with ticks at the open and the close"},
    CommandEntry{cmd::kChartCandles, "&Candles", "Draw each bar as a candle"},
    CommandEntry{cmd::kChartLine, "Close &Line", "Draw the closes as a line"},
    CommandEntry{cmd::kChartPeriodBars, "&Bars as Read", "Draw the bars as the file holds them"},
    CommandEntry{cmd::kChartPeriodDaily, "&Daily", "Draw one bar a day"},
    CommandEntry{cmd::kChartPeriodWeekly, "&Weekly", "Draw one bar a week, Monday to Sunday"},
    CommandEntry{cmd::kChartPeriodMonthly, "&Monthly", "Draw one bar a calendar month"},
    CommandEntry{cmd::kCompareWith, "Compare &With...",
                 "Draw other securities against this one, in percent since the first bar shown"},
    CommandEntry{cmd::kChartLog, "Lo&g Scale", "Show prices on a logarithmic scale"},
    CommandEntry{cmd::kChartSimple, "&Simple Moving Averages", "Draw simple moving averages"},
    CommandEntry{cmd::kChartExponential, "&Exponential Moving Averages",
                 "Draw exponential moving averages"},
    CommandEntry{cmd::kChartOpenInterest, "Open &Interest", "Show or hide a pane of open interest"},
    CommandEntry{cmd::kChartCrosshair, "C&rosshair", "Show or hide the crosshair"},
    CommandEntry{cmd::kChartBollinger, "&Bollinger Bands...",
                 "Show, change or remove Bollinger Bands"},
    CommandEntry{cmd::kChartRsi, "RS&I...", "Show, change or remove the RSI"},
    CommandEntry{cmd::kChartMacd, "&MACD...", "Show, change or remove the MACD"},
    CommandEntry{cmd::kChartStochastic, "S&tochastic...", "Show, change or remove the Stochastic"},
    CommandEntry{cmd::kChartAveragesStudies, "&Averages and Studies...",
                 "Add, change or remove moving averages and studies"},
    // Tools (extended mode)
    CommandEntry{cmd::kExplorer, "&Explorer...",
                 "Ask every security of the database a question\nExplorer", "Ctrl+E",
                 KeyInMenu::Yes},
    // Help
    CommandEntry{cmd::kHelpIndex, "&Help Topics", "List Help topics"},
    CommandEntry{cmd::kHelp, "Help", "List Help topics", "F1"},
    CommandEntry{cmd::kContextHelp, "Help",
                 "Display help for clicked on buttons, menus and windows", "Shift+F1"},
    CommandEntry{cmd::kAppAbout, "&About Tickvane...", "Discloses my dark secret\nAbout Tickvane"},
};

// A command made twice would replace the first one's action; every recent-file entry of the
// File menu needs its command.
static_assert(
    [] {
      for (std::size_t i = 0; i < kCommandEntries.size(); ++i)
        for (std::size_t j = i + 1; j < kCommandEntries.size(); ++j)
          if (kCommandEntries[i].id == kCommandEntries[j].id) return false;
      return true;
    }(),
    "two commands share an id");
static_assert(std::count_if(kCommandEntries.begin(), kCommandEntries.end(),
                            [](const CommandEntry& s) {
                              return s.id >= cmd::kFileMru1 &&
                                     s.id < cmd::kFileMru1 + cmd::kFileMruCount;
                            }) == cmd::kFileMruCount,
              "every recent-file entry needs its command");

}  // namespace tv
