#pragma once
// CBars: everything one chart needs. The list of securities of the open database, the
// current security's price series with its two moving averages, the view options, the ten
// colour items with the eight-colour palette, and the drawing of the whole chart.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bars_layout.h"
#include "extended.h"
#include "mapping.h"
#include "messages.h"
#include "series.h"
#include "surface.h"
#include "view_options.h"

inline constexpr int kMaxSymbols = 127;
inline constexpr int kSymbolChars = 17;  // 16 characters and a terminator
inline constexpr int kMaxMasterPath = 78;
inline constexpr int kSeriesBars = 800;
inline constexpr int kColorItems = 10;
inline constexpr int kPaletteSize = 8;

enum ColorItem : int {
  kBackground = 0,
  kAxes = 1,
  kHighLowBar = 2,
  kCloseTick = 3,
  kNormalText = 4,
  kTitleText = 5,
  kCloseTickText = 6,
  kMovingAverage1 = 7,
  kMovingAverage2 = 8,
  kVolume = 9,
};

// Simple moving average of `source` into `target` over `length` elements from `start`, with
// a single-precision running sum: the first length-1 entries from start are 0, every later
// entry the mean of the `length` sources ending at it.
void ComputeMovingAverage(const SeriesColumn<float>& source, const SeriesColumn<float>& target,
                          std::int16_t length, std::int16_t start);

class CBars {
 public:
  using ColorSet = std::array<int, kColorItems>;

  explicit CBars(tv::MessageService* messages = nullptr);
  ~CBars();
  CBars(const CBars&) = delete;
  CBars& operator=(const CBars&) = delete;

  // Where the list operations report to; null restores the stderr reporter.
  void SetMessageService(tv::MessageService* messages);

  // The logical space Draw lays the chart out in. In the running program this is the main
  // window's client size at the moment of the call; without a provider it is the target's
  // own size.
  void SetLogicalSizeProvider(std::function<tv::Size()> provider);
  void SetLogicalSize(tv::Size size);

  void Reset();
  int AllocateSeries(int bars);
  int ReleaseSeries();

  // --- list and loading
  // With extended reading on, the list is the directory's whole index (MASTER up to 255
  // records, EMASTER long names, XMASTER securities) without the 127-entry cut or its
  // message, paths of any length are accepted, and securities load the extended way
  // (extended.h). Off, everything is as classic. Set before OpenMaster.
  void SetExtended(bool on) { m_extended = on ? 1 : 0; }
  bool IsExtended() const { return m_extended != 0; }
  int OpenMaster(const char* path);
  int ReadSecurityList();
  int LoadCurrentSecurity();
  void SearchSetSymbolIndex(std::string_view symbol);
  int Step(int delta);
  int CanStepNext() const;
  int CanStepPrevious() const;
  const char* GetSymbol(int i) const;
  const char* GetName(int i) const;
  // Whether list entry i is a MASTER directory entry (a subdirectory, not a security).
  bool IsDirectoryEntry(int i) const;
  // For a directory entry: the subdirectory's name as the entry gives it, and the path of its
  // MASTER file as a File Open would take it. Empty for any other entry.
  std::string DirectoryEntryName(int i) const;
  std::string DirectoryEntryMaster(int i) const;
  // Extended browsing passes over directory entries: the first entry that is a security (0
  // when there is none, and always 0 in classic reading), and the next security from list
  // entry `from` in `direction` (+1 or -1), or -1 when there is none.
  int FirstSecurityIndex() const;
  int NextSecurityIndex(int from, int direction) const;
  // Why the current security could not be shown, for the status bar: set instead of a
  // message box when a load fails with extended reading on, empty after a good load.
  const std::string& LoadProblem() const { return m_loadProblem; }
  // Symbol and name of the current entry, as the chart's title shows them.
  const char* CurrentSymbol() const;
  const char* CurrentName() const;

  // --- the window of bars: which stretch of a long history the series holds. The series
  // always ends at the window's last bar and holds up to 800 bars, so the bars before the
  // ones on screen warm the averages up. Every load of a security (open, Next, Previous,
  // Go To, slide show) returns to the newest bars; only the calls below move the window.
  // Each move is one read of the security.
  //
  // How many bars one screen shows at this logical width with the present spacing (never
  // more than the series holds): the step of a page.
  int ScreenBars(int logicalWidth) const;
  // Moves the window's last bar by `delta` bars (negative: back in time), no further back
  // than the screen that starts with the file's first bar and no further on than its newest
  // bar. Returns 1 when the window moved (it was read again), 0 when it was already there.
  int ScrollWindow(int delta, int screenBars);
  int ShowOldestBars(int screenBars);
  int ShowNewestBars();
  // Moves the window to end at the last bar dated on or before `day` (a day number),
  // reading back through the file as far as needed. Returns 0 when moved there, 1 when no
  // bar is dated that early (the window is then back at the newest bars).
  int ShowBarsUntil(std::int16_t day);
  // Index in the data file of the series' first bar; and of the window's last bar.
  std::int32_t WindowStart() const { return windowStart_; }
  std::int32_t WindowEnd() const {
    return windowStart_ + (m_seriesAllocated ? m_series.count : 0) - 1;
  }
  bool AtNewestBars() const { return newest_; }
  // Reads the current security's bars up to the window's newest (the file's newest when the
  // window is there), at most `count` of them, into `series`, which it allocates and the
  // caller releases; the window stays as it is. For a chart wider than the window.
  ResultCode ReadHistory(PriceSeries& series, std::int32_t count) const;
  // How many times the window has been read (loads, scrolls, re-reads of changed files):
  // whatever was read beside it is stale once this has moved.
  std::uint32_t Reads() const { return reads_; }

  // --- following the files while they change on disk. Neither call ever reports: a file
  // caught half-written, cut short or gone leaves what is shown, and the next change tries
  // again.
  //
  // Reads the list again (MASTER, and the other index files with extended reading), keeping
  // the current security by file number and symbol, else by symbol, else by position. Returns
  // 0 when read, 1 when the list could not be read and stays as it was.
  int RereadSecurityList();
  // Reads the current security again as its files now are: a window at the newest bars
  // shows the new newest, a window further back the same bars (the newest when those are
  // gone), and a security that was not loaded its newest.
  enum class Reread { Failed, Unchanged, Changed };
  Reread RereadCurrentSecurity();
  // The file number of list entry i (0 for an entry outside the list).
  std::uint16_t FileNumber(int i) const;

  // The values of series bar i as the file holds them, as (label, text) lines: date (and
  // time when the layout has a time field), open, high, low, close, volume and open
  // interest, each number the shortest text that reads back to the same float; a field the
  // layout does not name reads as a dash. Empty when i is not a bar of the series.
  std::vector<std::pair<std::string, std::string>> BarValues(int i) const;
  // The series bar Draw puts nearest to device point p when it draws onto target, or -1
  // when p is not over the bars: beside the first or last by more than half a spacing,
  // above the price area or below the base line.
  int BarAt(tv::Point p, const tv::Rect& target) const;

  // --- options
  int GetBarSpace() const { return m_barSpace; }
  void SetBarSpace(int v) { m_barSpace = v; }
  int GetShowVolume() const { return m_showVolume; }
  void SetShowVolume(int v) { m_showVolume = v; }
  int GetShowMA1() const { return m_showMA1; }
  void SetShowMA1(int v) { m_showMA1 = v; }
  int GetShowMA2() const { return m_showMA2; }
  void SetShowMA2(int v) { m_showMA2 = v; }
  int GetMA1Length() const { return m_ma1Length; }
  int GetMA2Length() const { return m_ma2Length; }
  void SetMA1Length(int length);
  void SetMA2Length(int length);
  // All six at once; the averages are recomputed as their setters do.
  tv::ViewOptions GetViewOptions() const;
  void SetViewOptions(const tv::ViewOptions& options);

  // --- colours. Item indexes outside 0..9 give an empty name / black / index 0 and are
  // ignored by the setter; palette indexes are kept to 0..7.
  const char* GetColorName(int item) const;
  tv::Rgb GetPaletteColor(int k) const;
  int GetWorkColor(int item) const;
  tv::Rgb GetWorkColorValue(int item) const;
  void SetWorkColor(int item, int k);
  void CommitColors();

  // Draws the whole chart onto target (device coordinates of the surface's default
  // mapping), in the print colours and print font when printing. Returns 0.
  int Draw(tv::Surface& surface, const tv::Rect& target, bool printing);
  // Where Draw would put the chart and its bars on target, for the current series and
  // options.
  BarsLayout Layout(const tv::Rect& target) const;

  // Fields, in declaration order; other parts of the program read them by these names.
  std::array<std::array<char, kSymbolChars>, kMaxSymbols> m_symbols{};
  std::array<std::array<char, kSymbolChars>, kMaxSymbols> m_names{};
  std::string m_masterPath;
  std::string m_dataDir;
  int m_pathValid = 0;
  int m_count = 0;
  int m_current = 0;
  int m_seriesAllocated = 0;
  int m_ma1Length = tv::ViewOptions{}.ma1Length;
  int m_ma2Length = tv::ViewOptions{}.ma2Length;
  int m_barSpace = tv::ViewOptions{}.barSpace;
  std::array<std::string, kColorItems> m_colorNames;
  std::array<tv::Rgb, kPaletteSize> m_palette{};
  ColorSet m_printColors{};
  ColorSet m_screenColors{};
  ColorSet m_workColors{};
  int m_showMA1 = tv::ViewOptions{}.showMA1;
  int m_showMA2 = tv::ViewOptions{}.showMA2;
  int m_showVolume = tv::ViewOptions{}.showVolume;
  PriceSeries m_series{};
  SeriesColumn<float> m_ma1{};
  SeriesColumn<float> m_ma2{};
  int m_extended = 0;
  std::vector<IndexedSecurity> m_index;                    // the list while extended reading is on
  std::array<std::uint16_t, kMaxSymbols> m_fileNumbers{};  // of the classic list
  // The data directory's names, read with the extended list: loads in a directory of
  // thousands of files look names up here instead of reading the directory each time.
  std::shared_ptr<const DirectoryListing> m_listing;

  static constexpr ColorSet kDefaultScreenColors{0, 7, 2, 3, 7, 3, 3, 4, 1, 4};
  static constexpr ColorSet kPrintColors{7, 0, 0, 1, 0, 0, 1, 0, 0, 0};

 private:
  int ReadExtendedSecurityList();
  int StepOverDirectories(int delta);
  std::string LoadFailureText(const char* symbol, ResultCode result) const;
  void Report(std::string_view text, tv::MessageIcon icon);
  tv::Size LogicalSize(const tv::Rect& target) const;
  // Reads `count` bars from file index `start` (start -1: the newest bars) into the series
  // and recomputes both averages; reports and releases the series when the read fails.
  int LoadBars(std::int32_t start, std::int32_t count);
  int LoadWindowEndingAt(std::int32_t end);
  // Reads bars of the current security into `series` (storage already allocated).
  ResultCode ReadCurrentInto(PriceSeries& series, std::int32_t start, std::int16_t count) const;
  // Reads bars into a new series and, when that gave bars, puts it in place of the present
  // one with its averages; what is shown stays otherwise.
  Reread ReplaceSeries(std::int32_t start, std::int32_t count);

  std::int32_t windowStart_ = 0;
  bool newest_ = true;
  std::uint32_t reads_ = 0;
  std::string m_loadProblem;

  tv::MessageService* messages_ = nullptr;
  std::function<tv::Size()> logicalSize_;
};
