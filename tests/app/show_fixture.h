#pragma once
// A running program for the slide show, splash and About box tests: application object with
// a settings file in memory, a clock that moves only when told, and message boxes that are
// recorded instead of shown (with a hook that runs while a box would be on the screen).

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Doc.h"
#include "MainFrm.h"
#include "View.h"
#include "memory_profile.h"
#include "quote_writer.h"
#include "tickvane.h"

namespace show_fixture {

namespace fs = std::filesystem;

// Securities SYM1 .. SYMn with `bars` bars each, the prices of security i starting near 10 * i.
inline void WriteDatabase(const fs::path& dir, int securities, int bars = 60) {
  std::vector<fixture::Record53> records;
  for (int i = 0; i < securities; ++i) {
    fixture::Security s;
    s.fileNumber = static_cast<std::uint8_t>(i + 1);
    s.symbol = "SYM" + std::to_string(i + 1);
    s.name = "NAME " + std::to_string(i + 1);
    records.push_back(fixture::SecurityRecord(s));
    fixture::WriteSimpleSecurity(
        dir, s.fileNumber, {.bars = bars, .startPrice = 10.0f + 10.0f * static_cast<float>(i)});
  }
  fixture::WriteMaster(dir / "MASTER", records);
}

class HookedMessages final : public tv::MessageService {
 public:
  std::vector<std::string> texts;
  // Runs inside ShowMessage, as events would while a real box waits for its OK.
  std::function<void()> whileShown;
  void ShowMessage(std::string_view text, tv::MessageIcon) override {
    texts.emplace_back(text);
    if (whileShown) whileShown();
  }
};

struct Program {
  fixture::MemoryProfile profile;
  HookedMessages messages;
  tv::ManualClock clock;
  tv::CTickvaneApp app{profile, messages, clock};

  bool Start(const std::string& file = "") { return app.InitInstance(file); }
  bool Idle() { return app.OnIdle(0); }
  tv::CMainFrame& frame() { return *app.GetMainWnd(); }
  tv::CTickvaneView& view() { return *frame().GetActiveView(); }
  CBars& bars() { return app.GetDocument().GetBars(); }
};

// Lets windows that closed themselves be deleted.
inline void DeleteClosedWindows() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace show_fixture
