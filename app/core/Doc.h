#pragma once
// The one document: an opened quote database. It owns the chart object for its whole life,
// runs the opening sequence, the Go To and View Options commands, and says when the commands
// that need a loaded security are enabled.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bars.h"
#include "chart_settings.h"
#include "messages.h"
#include "profile.h"
#include "view_options.h"

namespace tv {

// Runs the Go To dialog modally over the chart object's list. Returns true when it ended with
// OK; `selection` then holds the chosen entry ("symbol<TAB>name"), possibly empty.
using GoToDialog = std::function<bool(CBars& bars, std::string& selection)>;

// Runs the View Options dialog modally. `values` arrive filled from the chart object and, on
// OK (true), hold what the user chose. Colour edits go straight to the chart object's
// working colours while the dialog runs.
using ViewOptionsDialog = std::function<bool(CBars& bars, ViewOptions& values)>;

inline constexpr std::string_view kViewOptionsSection = "ViewOptions";
inline constexpr std::string_view kNotMasterMessage =
    "You have not selected a file named \"MASTER\"";
inline constexpr int kGoToSymbolBuffer = 20;

// Reads the section "ViewOptions" into the chart object. Values the View Options dialog could
// not have written are not applied: a flag other than 0 or 1, a bar spacing outside 2..10 or
// an average length outside 2..50 reads as the key's default, and a "Colors" text that is not
// exactly ten digits 0..7 leaves the colours alone.
void LoadViewOptions(Profile& profile, CBars& bars);
// Writes the seven keys of "ViewOptions" from the chart object.
void SaveViewOptions(Profile& profile, const CBars& bars);
// The symbol of a Go To entry: the text before its first tab (all of it without a tab), at
// most kGoToSymbolBuffer - 1 characters.
std::string GoToSymbol(std::string_view entry);

class CTickvaneDoc {
 public:
  CTickvaneDoc(Profile& profile, MessageService& messages);
  virtual ~CTickvaneDoc();
  CTickvaneDoc(const CTickvaneDoc&) = delete;
  CTickvaneDoc& operator=(const CTickvaneDoc&) = delete;

  // The document is never written to a file, and nothing is read from it either.
  void Serialize() {}
  bool OnNewDocument();
  bool OnOpenDocument(const std::string& path);

  const std::string& GetPathName() const { return m_pathName; }
  void SetPathName(std::string path) { m_pathName = std::move(path); }

  MessageService& GetMessageService() { return m_messages; }
  CBars& GetBars() { return *m_pBars; }
  const CBars& GetBars() const { return *m_pBars; }

  // Views register how they repaint; UpdateAllViews calls every one of them.
  void AddView(std::function<void()> update) { m_views.push_back(std::move(update)); }
  void UpdateAllViews();

  void SetGoToDialog(GoToDialog run) { m_goTo = std::move(run); }
  void SetViewOptionsDialog(ViewOptionsDialog run) { m_viewOptions = std::move(run); }
  // How Go To opens a folder's MASTER file: as File Open does (recent files included).
  void SetFileOpener(std::function<bool(const std::string& path)> open) {
    m_openFile = std::move(open);
  }

  // Command handlers and their enable rules.
  void OnGoTo();
  void OnViewOptions();
  // With extended reading a security that could not be read is no dead end: Go To and the
  // slide show stay open while the list has something to go to.
  bool CanGoTo() const { return SeriesLoaded() || (Extended() && m_pBars->m_count > 0); }
  bool CanViewOptions() const { return SeriesLoaded(); }
  bool CanSlideShow() const {
    return SeriesLoaded() || (Extended() && m_pBars->NextSecurityIndex(-1, +1) >= 0);
  }
  bool CanNext() const { return m_pBars->CanStepNext() != 0; }
  // Bar spacing up or down by `steps` within the bar-spacing range for the rest of this run
  // (Ctrl+wheel, Ctrl+Plus/Minus): it outlasts opening another database but is never written; View
  // Options shows it and, on OK, stores what it shows. False when nothing changed.
  bool ZoomBarSpace(int steps);
  bool CanPrevious() const { return m_pBars->CanStepPrevious() != 0; }

  // The extended chart's settings (the Chart menu): read from the settings file when first
  // asked for, written at every change, which also repaints.
  const ChartSettings& GetChartSettings();
  void SetChartSettings(const ChartSettings& settings);

 private:
  bool SeriesLoaded() const { return m_pBars->m_seriesAllocated != 0; }
  // A settings file that is one of the files of the database at `master` (a link, a second
  // name) is abandoned, with a message: the program never writes a quote file.
  void GuardSettingsFile(const std::string& master);
  bool Extended() const { return m_pBars->IsExtended(); }
  // Extended reading: the list entry `selection` names when it is a folder, else -1.
  int FolderEntry(std::string_view selection) const;

  Profile& m_profile;
  MessageService& m_messages;
  const std::unique_ptr<CBars> m_pBars;
  std::string m_pathName;
  std::vector<std::function<void()>> m_views;
  GoToDialog m_goTo;
  ViewOptionsDialog m_viewOptions;
  std::function<bool(const std::string& path)> m_openFile;
  int m_sessionBarSpace = 0;  // 0: the stored spacing
  std::optional<ChartSettings> m_chart;
  std::string m_comparedIn;  // the folder the compared securities were read from
};

// The check every open starts with: the file must exist, be a file and open for reading.
// On failure returns false and sets `reason` to a short explanation.
bool CanOpenForReading(const std::string& path, std::string& reason);
// The message shown when a chosen file cannot be opened.
std::string CannotOpenMessage(const std::string& path, const std::string& reason);
// The message shown when the settings file turns out to be a file of the database opened.
std::string SettingsInDatabaseMessage(const std::string& settings, const std::string& master);

}  // namespace tv
