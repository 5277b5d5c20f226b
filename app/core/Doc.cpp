#include "Doc.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "database_files.h"
#include "goto_list.h"

namespace tv {

namespace {

// A stored integer counts only when the View Options dialog could have written it.
int ReadRanged(Profile& profile, std::string_view key, int fallback, IntRange range) {
  const int value = profile.ReadInt(kViewOptionsSection, key, fallback);
  return range.Contains(value) ? value : fallback;
}

}  // namespace

void LoadViewOptions(Profile& profile, CBars& bars) {
  profile.Refresh();
  const ViewOptions defaults;
  ViewOptions options;
  options.showVolume =
      ReadRanged(profile, "ShowVolume", defaults.showVolume, ViewOptions::kFlagRange);
  options.showMA1 = ReadRanged(profile, "ShowMA1", defaults.showMA1, ViewOptions::kFlagRange);
  options.showMA2 = ReadRanged(profile, "ShowMA2", defaults.showMA2, ViewOptions::kFlagRange);
  options.barSpace =
      ReadRanged(profile, "BarSpace", defaults.barSpace, ViewOptions::kBarSpaceRange);
  options.ma1Length =
      ReadRanged(profile, "MA1Length", defaults.ma1Length, ViewOptions::kMALengthRange);
  options.ma2Length =
      ReadRanged(profile, "MA2Length", defaults.ma2Length, ViewOptions::kMALengthRange);
  bars.SetViewOptions(options);

  const std::string colors = profile.ReadText(kViewOptionsSection, "Colors", "");
  if (colors.size() != static_cast<size_t>(kColorItems)) return;
  // One character outside the palette makes the whole text suspect: keep every colour.
  for (char c : colors)
    if (c < '0' || c > '0' + kPaletteSize - 1) return;
  for (int i = 0; i < kColorItems; ++i) bars.SetWorkColor(i, colors[static_cast<size_t>(i)] - '0');
  bars.CommitColors();
}

void SaveViewOptions(Profile& profile, const CBars& bars) {
  profile.WriteInt(kViewOptionsSection, "ShowVolume", bars.GetShowVolume());
  profile.WriteInt(kViewOptionsSection, "ShowMA1", bars.GetShowMA1());
  profile.WriteInt(kViewOptionsSection, "ShowMA2", bars.GetShowMA2());
  profile.WriteInt(kViewOptionsSection, "BarSpace", bars.GetBarSpace());
  profile.WriteInt(kViewOptionsSection, "MA1Length", bars.GetMA1Length());
  profile.WriteInt(kViewOptionsSection, "MA2Length", bars.GetMA2Length());
  std::string colors;
  for (int i = 0; i < kColorItems; ++i) colors += static_cast<char>('0' + bars.GetWorkColor(i));
  profile.WriteText(kViewOptionsSection, "Colors", colors);
}

std::string GoToSymbol(std::string_view entry) {
  const size_t tab = entry.find('\t');
  std::string_view symbol = entry.substr(0, tab == std::string_view::npos ? entry.size() : tab);
  return std::string(symbol.substr(0, kGoToSymbolBuffer - 1));
}

bool CanOpenForReading(const std::string& path, std::string& reason) {
  std::error_code ec;
  if (path.empty()) {
    reason = "No file name was given";
    return false;
  }
  if (std::filesystem::is_directory(path, ec)) {
    reason = "It is a directory";
    return false;
  }
  // A pipe or a device would block or never end; only plain files are opened.
  const auto status = std::filesystem::status(path, ec);
  if (!ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    reason = "It is not a regular file";
    return false;
  }
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    reason = errno != 0 ? std::strerror(errno) : "It cannot be read";
    return false;
  }
  std::fclose(file);
  return true;
}

std::string CannotOpenMessage(const std::string& path, const std::string& reason) {
  return "Cannot open the file \"" + path + "\".\n" + reason + ".";
}

CTickvaneDoc::CTickvaneDoc(Profile& profile, MessageService& messages)
    : m_profile(profile), m_messages(messages), m_pBars(std::make_unique<CBars>(&messages)) {}

CTickvaneDoc::~CTickvaneDoc() = default;

bool CTickvaneDoc::OnNewDocument() {
  m_pathName.clear();
  return true;
}

bool CTickvaneDoc::OnOpenDocument(const std::string& path) {
  std::string reason;
  if (!CanOpenForReading(path, reason)) {
    m_messages.ShowMessage(CannotOpenMessage(path, reason), MessageIcon::Stop);
    return false;
  }
  GuardSettingsFile(path);
  CBars& bars = *m_pBars;
  bars.Reset();
  LoadViewOptions(m_profile, bars);
  if (m_sessionBarSpace != 0) bars.SetBarSpace(m_sessionBarSpace);
  if (bars.OpenMaster(path.c_str())) {
    bars.ReadSecurityList();
    bars.m_current = bars.FirstSecurityIndex();
    bars.LoadCurrentSecurity();
  } else {
    m_messages.ShowMessage(kNotMasterMessage, MessageIcon::None);
  }
  UpdateAllViews();
  return true;
}

void CTickvaneDoc::GuardSettingsFile(const std::string& master) {
  const std::string settings = m_profile.FilePath();
  if (settings.empty() || !DatabaseFiles(master).contains(settings)) return;
  m_profile.Abandon();
  m_messages.ShowMessage(SettingsInDatabaseMessage(settings, master), MessageIcon::None);
}

std::string SettingsInDatabaseMessage(const std::string& settings, const std::string& master) {
  return "The settings file " + settings + " is a file of the database " + master +
         ". Settings are neither read nor saved for the rest of this session.";
}

void CTickvaneDoc::UpdateAllViews() {
  for (auto& update : m_views) update();
}

void CTickvaneDoc::OnGoTo() {
  if (!m_goTo) return;
  std::string selection;
  if (!m_goTo(*m_pBars, selection)) return;
  // An OK without a chosen entry names no security: it changes nothing, like Cancel (an
  // empty key could otherwise pick a security whose symbol field is blank).
  if (selection.empty()) return;
  if (Extended() && selection == kGoToUpEntry) {
    if (const std::string up = ParentMaster(*m_pBars); !up.empty() && m_openFile) m_openFile(up);
    return;
  }
  if (const int folder = FolderEntry(selection); folder >= 0) {
    if (m_openFile) m_openFile(m_pBars->DirectoryEntryMaster(folder));
    return;
  }
  m_pBars->SearchSetSymbolIndex(GoToSymbol(selection));
  UpdateAllViews();
}

int CTickvaneDoc::FolderEntry(std::string_view selection) const {
  if (!Extended()) return -1;
  const CBars& bars = *m_pBars;
  for (int i = 0; i < bars.m_count; ++i)
    if (bars.IsDirectoryEntry(i) && GoToFolderEntry(bars.DirectoryEntryName(i)) == selection)
      return i;
  return -1;
}

void CTickvaneDoc::OnViewOptions() {
  if (!m_viewOptions) return;
  CBars& bars = *m_pBars;
  ViewOptions values = bars.GetViewOptions();
  if (!m_viewOptions(bars, values)) return;
  bars.SetViewOptions(values);
  bars.CommitColors();
  SaveViewOptions(m_profile, bars);
  m_sessionBarSpace = 0;  // what the dialog stored is what is on screen
  UpdateAllViews();
}

const ChartSettings& CTickvaneDoc::GetChartSettings() {
  if (!m_chart) m_chart = LoadChartSettings(m_profile);
  // The compared securities are read once for each list of them and each folder shown (a
  // folder of the tree finds its own peers first).
  if (m_chart->compare.empty() || !Extended()) {
    m_chart->compared.reset();
  } else if (!m_chart->compared || m_comparedIn != m_pBars->m_dataDir) {
    m_chart->compared = std::make_shared<const std::vector<ComparedSecurity>>(
        ReadCompared(*m_pBars, m_chart->compare));
    m_comparedIn = m_pBars->m_dataDir;
  }
  // The history drawn is read once for each read of the window (a load, a scroll, a followed
  // file's change), not for each draw or pointer move.
  if (!Extended() || !m_pBars->m_seriesAllocated)
    m_chart->history.reset();
  else if (!m_chart->history || !m_chart->history->Of(*m_pBars))
    m_chart->history = ReadChartHistory(*m_pBars);
  return *m_chart;
}

void CTickvaneDoc::SetChartSettings(const ChartSettings& settings) {
  const bool sameCompared = m_chart && m_chart->compare == settings.compare;
  m_chart = settings;
  if (!sameCompared) m_chart->compared.reset();
  SaveChartSettings(m_profile, settings);
  UpdateAllViews();
}

bool CTickvaneDoc::ZoomBarSpace(int steps) {
  if (!SeriesLoaded()) return false;
  CBars& bars = *m_pBars;
  const int spacing = ViewOptions::kBarSpaceRange.Clamp(bars.GetBarSpace() + steps);
  if (spacing == bars.GetBarSpace()) return false;
  bars.SetBarSpace(spacing);
  m_sessionBarSpace = spacing;
  return true;
}

}  // namespace tv
