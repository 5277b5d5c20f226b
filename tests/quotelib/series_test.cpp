// Reading security data files into price series: layouts, storage forms, windows of bars,
// failures and the state they leave, and malformed files.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "quote_writer.h"
#include "series.h"
#include "values.h"

namespace {

using fixture::TempDir;
namespace fs = std::filesystem;

// Row i of a test file: a date counting on from 2 January 1995 (day of month 1..28), and
// fields whose values encode the record index so a bar can be traced to its record.
std::vector<float> Row(int i, int fields) {
  std::vector<float> row;
  const int month = 1 + (i / 28) % 12;
  const int year = 1995 + i / (28 * 12);
  row.push_back(fixture::DateReal(year, month, 1 + i % 28));
  for (int f = 1; f < fields; ++f)
    row.push_back(static_cast<float>(i) + 0.25f * static_cast<float>(f));
  return row;
}

std::vector<std::vector<float>> Rows(int n, int fields = 7) {
  std::vector<std::vector<float>> rows;
  rows.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) rows.push_back(Row(i, fields));
  return rows;
}

const std::vector<std::string> kSevenFields = {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"};

// A database of one security "TST" (file 1) with the given layout and records.
struct OneSecurity {
  TempDir tmp;
  explicit OneSecurity(int records, const std::vector<std::string>& fields = kSevenFields,
                       std::optional<std::int16_t> headerR = std::nullopt,
                       std::optional<int> recordLength = std::nullopt,
                       std::optional<int> fieldCount = std::nullopt) {
    const int f = fieldCount.value_or(static_cast<int>(fields.size()));
    const int length = recordLength.value_or(4 * f);
    fixture::Security s;
    s.fileNumber = 1;
    s.recordLength = static_cast<std::int8_t>(length);
    s.fieldCount = static_cast<std::int8_t>(f);
    s.name = "Test Security";
    s.symbol = "TST";
    fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)});
    fixture::WriteDop(tmp.path() / "F1.DOP", fields);
    fixture::WriteDat(tmp.path() / "F1.DAT", length, Rows(records, static_cast<int>(fields.size())),
                      headerR);
  }
  std::string dir() const { return tmp.dir(); }
};

struct SeriesHolder {
  PriceSeries s;
  ~SeriesHolder() { ReleasePriceSeries(s); }
};

// The close column holds record index + 1.0 in the seven-field layout.
int RecordOfBar(const PriceSeries& s, int bar) { return static_cast<int>(s.close[bar] - 1.0f); }

DataLayout ParseLayout(std::string_view text) {
  TempDir tmp;
  fixture::WriteText(tmp.path() / "L.DOP", text);
  DataLayout layout;
  EXPECT_EQ(ReadDataLayout((tmp.path() / "L.DOP").string(), layout), 0);
  return layout;
}

// --- layout files -----------------------------------------------------------------------

// One entry per field: date, time, open, high, low, close, volume, open interest.
using Items = std::array<std::int16_t, kFieldNameCount>;

TEST(DataLayout, PositionsCountRecognisedLinesInFileOrder) {
  const auto layout =
      ParseLayout("\"DATE\",1,2\n\"HIGH\",3,4\n\"LOW\",5,6\n\"CLOSE\",7,8\n\"VOL\",-9,+10\n");
  EXPECT_EQ(layout.position, (Items{1, 0, 0, 2, 3, 4, 5, 0}));
  EXPECT_EQ(layout.second, (Items{1, 0, 0, 3, 5, 7, -9, 0}));
  EXPECT_EQ(layout.third, (Items{2, 0, 0, 4, 6, 8, 10, 0}));
}

TEST(DataLayout, NamesAreRecognisedByTheirCaseFoldedBeginning) {
  // An unknown name takes no position; CL is too short for CLOSE; a name without its
  // opening quote loses its first letter ("HIGH" becomes "IGH"); VOLUME starts with VOL.
  const auto layout = ParseLayout(
      "\"DATE\",0,0\r\n\"SPLIT\",0,0\r\n\"Close\",0,0\r\n\"CL\",0,0\r\nHIGH,0,0\r\n"
      "\"volume\",0,0\r\n");
  EXPECT_EQ(layout.position, (Items{1, 0, 0, 0, 0, 2, 3, 0}));
}

TEST(DataLayout, LaterLineOfTheSameNameWinsAndBothUseAPosition) {
  const auto layout = ParseLayout("\"CLOSE\",1,1\n\"DATE\",0,0\n\"CLOSE\",2,3\n\"OPEN\",0,0\n");
  EXPECT_EQ(layout.position, (Items{2, 0, 4, 0, 0, 3, 0, 0}));
  EXPECT_EQ(layout.second, (Items{0, 0, 0, 0, 0, 2, 0, 0}));
  EXPECT_EQ(layout.third, (Items{0, 0, 0, 0, 0, 3, 0, 0}));
}

TEST(DataLayout, MissingItemsReadAsZeroAndLongLinesContinueAsNewLines) {
  using F = SeriesField;
  // 79 characters make up a line; the 80th starts the next one, which here is a name.
  std::string longLine = "\"DATE\",5," + std::string(70, '7') + "\"OPEN\",1,1\n";
  ASSERT_EQ(longLine.find("\"OPEN\""), 79u);
  const auto layout = ParseLayout(longLine + "\"HIGH\"\n\"LOW\",4\n,,\n\n");
  EXPECT_EQ(layout.position, (Items{1, 0, 2, 3, 4, 0, 0, 0}));
  EXPECT_EQ(layout.second, (Items{5, 0, 1, 0, 4, 0, 0, 0}));
  EXPECT_EQ(layout.third[int(F::High)], 0);
  EXPECT_EQ(layout.third[int(F::Low)], 0);
}

TEST(DataLayout, HugeItemsAndLongFilesStayBounded) {
  using F = SeriesField;
  std::string text = "\"DATE\",99999999999999999999,-70000\n";
  while (text.size() < static_cast<std::size_t>(kMaxLayoutBytes)) text += "\"OI\",0,0\n";
  const auto oiLines = static_cast<int>((text.size() - 35) / 9);
  text += "\"CLOSE\",1,1\n";  // begins past the bound: never read
  const auto layout = ParseLayout(text);
  EXPECT_EQ(layout.position[int(F::Date)], 1);
  EXPECT_EQ(layout.third[int(F::Date)], static_cast<std::int16_t>(-70000));
  EXPECT_EQ(layout.position[int(F::OpenInterest)], 1 + oiLines);
  EXPECT_EQ(layout.position[int(F::Close)], 0);
}

TEST(DataLayout, MissingFileFailsAndLeavesTheLayoutAlone) {
  DataLayout layout;
  layout.position[0] = 7;
  EXPECT_EQ(ReadDataLayout("/nonexistent/F1.DOP", layout), kFileOpen);
  EXPECT_EQ(layout.position[0], 7);
}

// --- storage ----------------------------------------------------------------------------

TEST(SeriesStorage, SmallSeriesIsOneBlockOfBarRecords) {
  SeriesHolder h;
  ASSERT_EQ(AllocatePriceSeries(h.s, 2321), 0);
  EXPECT_EQ(h.s.count, 2321);
  EXPECT_EQ(h.s.capacity, 2321);
  EXPECT_EQ(h.s.open.stride, 7);
  EXPECT_EQ(h.s.date.stride, 14);
  EXPECT_EQ(h.s.time.offset, 1);
  // All columns share the block, bar by bar: the last bar's open interest ends the block.
  auto* base = reinterpret_cast<char*>(h.s.date.storage);
  EXPECT_EQ(reinterpret_cast<char*>(&h.s.openInterest[2320]) - base, 2321 * 28 - 4);
  EXPECT_EQ(reinterpret_cast<char*>(&h.s.time[0]) - base, 2);
  EXPECT_EQ(h.s.close[1000], 0.0f);
}

TEST(SeriesStorage, LargeSeriesIsSevenArrays) {
  SeriesHolder h;
  ASSERT_EQ(AllocatePriceSeries(h.s, 2322), 0);
  EXPECT_EQ(h.s.open.stride, 1);
  EXPECT_EQ(h.s.date.stride, 2);
  EXPECT_EQ(static_cast<void*>(h.s.date.storage), static_cast<void*>(h.s.time.storage));
  EXPECT_NE(static_cast<void*>(h.s.open.storage), static_cast<void*>(h.s.close.storage));
  h.s.openInterest[2321] = 5.0f;  // in bounds under the sanitizers
  EXPECT_EQ(h.s.volume[2321], 0.0f);
}

TEST(SeriesStorage, ReleaseEmptiesEverythingAndAllocatingAgainReplacesStorage) {
  PriceSeries s;
  ASSERT_EQ(AllocatePriceSeries(s, 5000), 0);
  // Allocating an allocated series hands the old storage back (the leak checker of the
  // sanitizer build would report it otherwise).
  ASSERT_EQ(AllocatePriceSeries(s, 10), 0);
  EXPECT_EQ(s.open.stride, 7);
  EXPECT_EQ(ReleasePriceSeries(s), 0);
  EXPECT_EQ(s.date.storage, nullptr);
  EXPECT_EQ(s.open.stride, 0);
  EXPECT_EQ(s.capacity, 0);
  EXPECT_EQ(s.info, nullptr);
  EXPECT_EQ(ReleasePriceSeries(s), 0);  // releasing an empty series is harmless
}

TEST(SeriesStorage, CountsAndColumns) {
  SeriesHolder h;
  EXPECT_EQ(AllocatePriceSeries(h.s, -1), kInvalidParm);
  EXPECT_EQ(h.s.capacity, 0);
  ASSERT_EQ(AllocatePriceSeries(h.s, 0), 0);
  EXPECT_EQ(h.s.capacity, 0);
  ASSERT_EQ(AllocatePriceSeries(h.s, 100), 0);
  EXPECT_EQ(SetPriceSeriesCount(h.s, 101), kMalloc);
  EXPECT_EQ(h.s.count, 100);
  EXPECT_EQ(h.s.close.count, 100);
  EXPECT_EQ(SetPriceSeriesCount(h.s, 40), 0);
  EXPECT_EQ(h.s.count, 40);
  EXPECT_EQ(h.s.date.count, 40);
  EXPECT_EQ(h.s.openInterest.count, 40);

  SeriesColumn<float> column;
  ASSERT_EQ(AllocateRealColumn(column, 50), 0);
  EXPECT_EQ(column.count, 50);
  EXPECT_EQ(column.stride, 1);
  EXPECT_EQ(column[49], 0.0f);
  ReleaseRealColumn(column);
  EXPECT_EQ(column.storage, nullptr);
  EXPECT_EQ(AllocateRealColumn(column, -5), kInvalidParm);
  EXPECT_EQ(column.storage, nullptr);
}

// --- reading windows of bars ------------------------------------------------------------

TEST(ReadSecurity, LastWindowOfALongFileAndAllOfAShortOne) {
  OneSecurity db(1000);
  SeriesHolder h;
  ASSERT_EQ(AllocatePriceSeries(h.s, 800), 0);
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", -1, 800, 0), 0);
  ASSERT_EQ(h.s.count, 800);
  EXPECT_EQ(h.s.close.count, 800);
  EXPECT_EQ(RecordOfBar(h.s, 0), 200);
  EXPECT_EQ(RecordOfBar(h.s, 799), 999);
  EXPECT_EQ(h.s.fileRecords, 1000);
  EXPECT_EQ(h.s.sourceKind, 3);

  OneSecurity small(300);
  ASSERT_EQ(ReadSecurity(h.s, small.dir(), "tst", -1, 800, 0), 0);
  ASSERT_EQ(h.s.count, 300);
  EXPECT_EQ(RecordOfBar(h.s, 0), 0);
  EXPECT_EQ(RecordOfBar(h.s, 299), 299);
  EXPECT_EQ(h.s.capacity, 800);
}

TEST(ReadSecurity, FieldsLandInTheirColumnsWithDatesAsDayNumbers) {
  OneSecurity db(3);
  SeriesHolder h;
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", 0, -1, 1), 0);
  ASSERT_EQ(h.s.count, 3);
  EXPECT_EQ(h.s.date[2], DayNumber(95, 1, 3));
  EXPECT_EQ(h.s.time[2], 0);
  EXPECT_EQ(h.s.open[2], 2.25f);
  EXPECT_EQ(h.s.high[2], 2.5f);
  EXPECT_EQ(h.s.low[2], 2.75f);
  EXPECT_EQ(h.s.close[2], 3.0f);
  EXPECT_EQ(h.s.volume[2], 3.25f);
  EXPECT_EQ(h.s.openInterest[2], 3.5f);
}

TEST(ReadSecurity, AllBarsAreCappedAndAStartShortensThem) {
  OneSecurity db(20000);
  SeriesHolder h;
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", 0, -1, 1), 0);
  EXPECT_EQ(h.s.count, 16000);
  EXPECT_EQ(h.s.open.stride, 1);
  EXPECT_EQ(RecordOfBar(h.s, 15999), 15999);

  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", 5000, -1, 1), 0);
  EXPECT_EQ(h.s.count, 11000);
  EXPECT_EQ(RecordOfBar(h.s, 0), 5000);

  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", -1, -1, 1), 0);
  EXPECT_EQ(h.s.count, 16000);
  EXPECT_EQ(RecordOfBar(h.s, 0), 4000);

  // A start past the cap but inside the file leaves nothing to read, and must not turn
  // into a negative count that runs past the storage.
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", 17000, -1, 1), 0);
  EXPECT_EQ(h.s.count, 0);
  ASSERT_EQ(AllocatePriceSeries(h.s, 50), 0);
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", 17000, -1, 0), 0);
  EXPECT_EQ(h.s.count, 0);
}

TEST(ReadSecurity, BothStorageFormsReadTheSameBars) {
  OneSecurity db(3000);
  SeriesHolder block, arrays;
  ASSERT_EQ(AllocatePriceSeries(block.s, 2321), 0);
  ASSERT_EQ(AllocatePriceSeries(arrays.s, 2322), 0);
  ASSERT_EQ(ReadSecurity(block.s, db.dir(), "TST", 100, 2321, 0), 0);
  ASSERT_EQ(ReadSecurity(arrays.s, db.dir(), "TST", 100, 2321, 0), 0);
  ASSERT_EQ(block.s.count, 2321);
  ASSERT_EQ(arrays.s.count, 2321);
  for (int i = 0; i < 2321; ++i) {
    ASSERT_EQ(block.s.date[i], arrays.s.date[i]) << i;
    ASSERT_EQ(block.s.time[i], arrays.s.time[i]) << i;
    ASSERT_EQ(block.s.open[i], arrays.s.open[i]) << i;
    ASSERT_EQ(block.s.openInterest[i], arrays.s.openInterest[i]) << i;
  }
  EXPECT_EQ(RecordOfBar(arrays.s, 2320), 2420);
}

TEST(ReadSecurity, InfoBlockHoldsTheRecordAndTheLayout) {
  OneSecurity db(10, {"DATE", "HIGH", "LOW", "CLOSE"});
  fixture::WriteText(db.tmp.path() / "F1.DOP",
                     "\"DATE\",11,12\n\"HIGH\",13,14\n\"LOW\",-1,300\n\"CLOSE\",0,0\n");
  SeriesHolder h;
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "Test Security", -1, 5, 1), 0);
  ASSERT_NE(h.s.info, nullptr);
  EXPECT_EQ(h.s.infoLength, 101);
  const auto& b = h.s.info->bytes;
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[36]), 3), "TST");
  auto at = [&](int offset) { return static_cast<std::int16_t>(b[offset] | b[offset + 1] << 8); };
  EXPECT_EQ(at(53), 1);        // DATE position
  EXPECT_EQ(at(53 + 6), 2);    // HIGH position
  EXPECT_EQ(at(53 + 2), 0);    // TIME absent
  EXPECT_EQ(at(69), 12);       // DATE third item
  EXPECT_EQ(at(69 + 8), 300);  // LOW third item
  EXPECT_EQ(at(85), 11);       // DATE second item
  EXPECT_EQ(at(85 + 8), -1);   // LOW second item
  EXPECT_EQ(std::string(h.s.key.data()), "Test Security");
  EXPECT_EQ(std::string(h.s.directory.data()), db.dir());

  // Reading again into the same storage reuses the block.
  const SeriesInfo* first = h.s.info;
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", -1, 5, 0), 0);
  EXPECT_EQ(h.s.info, first);
}

// --- failures and the state they leave ------------------------------------------------

// A series read once from `db`, whose bars later failures must leave alone.
void ExpectUntouched(const PriceSeries& s, int count, int firstRecord) {
  ASSERT_EQ(s.count, count);
  EXPECT_EQ(RecordOfBar(s, 0), firstRecord);
}

TEST(ReadSecurityFailures, LookupAndOpenFailuresLeaveTheSeriesUntouched) {
  OneSecurity db(50);
  SeriesHolder h;
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", 10, 20, 1), 0);

  EXPECT_EQ(ReadSecurity(h.s, db.dir(), "NOPE", 0, 20, 1), kFileNotFound);
  ExpectUntouched(h.s, 20, 10);
  EXPECT_EQ(h.s.capacity, 20);

  fs::rename(db.tmp.path() / "F1.DAT", db.tmp.path() / "F1.BAK");
  EXPECT_EQ(ReadSecurity(h.s, db.dir(), "TST", 0, 20, 1), kFileOpen);
  ExpectUntouched(h.s, 20, 10);

  fs::rename(db.tmp.path() / "F1.BAK", db.tmp.path() / "F1.DAT");
  fs::remove(db.tmp.path() / "F1.DOP");
  EXPECT_EQ(ReadSecurity(h.s, db.dir(), "TST", 0, 20, 1), kFileOpen);
  ExpectUntouched(h.s, 20, 10);
  EXPECT_EQ(h.s.capacity, 20);
}

TEST(ReadSecurityFailures, StartBeyondTheFileUpdatesOnlyTheBookkeeping) {
  OneSecurity db(50);
  OneSecurity empty(0);
  SeriesHolder h;
  ASSERT_EQ(AllocatePriceSeries(h.s, 800), 0);
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", 5, 20, 0), 0);

  EXPECT_EQ(ReadSecurity(h.s, db.dir(), "TST", 50, 20, 0), kRecordNotFound);
  ExpectUntouched(h.s, 20, 5);

  EXPECT_EQ(ReadSecurity(h.s, empty.dir(), "TST", -1, 800, 0), kRecordNotFound);
  ExpectUntouched(h.s, 20, 5);
  EXPECT_EQ(h.s.fileRecords, 0);
  EXPECT_EQ(std::string(h.s.directory.data()), empty.dir());

  // With "all bars" and nothing there, the read succeeds with no bars touched.
  EXPECT_EQ(ReadSecurity(h.s, empty.dir(), "TST", -1, -1, 0), 0);
  ExpectUntouched(h.s, 20, 5);
  // A start past the end with "all bars" is still beyond the file.
  EXPECT_EQ(ReadSecurity(h.s, db.dir(), "TST", 60, -1, 0), kRecordNotFound);
  ExpectUntouched(h.s, 20, 5);
}

TEST(ReadSecurityFailures, ImplausibleHeaderCountsReadAsNoRecords) {
  for (const std::int16_t r : {std::int16_t{0}, std::int16_t{-1}, std::int16_t{-32768}}) {
    OneSecurity db(10, kSevenFields, r);
    SeriesHolder h;
    EXPECT_EQ(ReadSecurity(h.s, db.dir(), "TST", -1, 800, 1), kRecordNotFound) << r;
    EXPECT_EQ(h.s.fileRecords, 0) << r;
    EXPECT_EQ(ReadSecurity(h.s, db.dir(), "TST", 0, -1, 1), 0) << r;
    EXPECT_EQ(h.s.count, 0) << r;
  }
}

TEST(ReadSecurityFailures, ShortFilesGiveTheBarsTheyHold) {
  // The header promises 32767 records; ten are there, the last one cut short.
  OneSecurity db(10, kSevenFields, std::int16_t{32767});
  const auto dat = db.tmp.path() / "F1.DAT";
  fs::resize_file(dat, fs::file_size(dat) - 3);
  SeriesHolder h;
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", 0, -1, 1), 0);
  EXPECT_EQ(h.s.capacity, 16000);
  EXPECT_EQ(h.s.count, 9);
  EXPECT_EQ(h.s.fileRecords, 32766);
  ASSERT_EQ(ReadSecurity(h.s, db.dir(), "TST", -1, 800, 1), 0);
  EXPECT_EQ(h.s.count, 0);

  // A data file too short for its header holds no records.
  fixture::WriteText(dat, "\x01");
  EXPECT_EQ(ReadSecurity(h.s, db.dir(), "TST", -1, 800, 1), kRecordNotFound);
}

TEST(ReadSecurityFailures, RecordShapesTheReaderCannotHonourAreRefused) {
  struct Case {
    const char* what;
    int recordLength, fieldCount;
    std::vector<std::string> fields;
  };
  const std::vector<Case> cases = {
      {"record longer than 76 bytes", 80, 7, kSevenFields},
      {"negative record length", -28, 7, kSevenFields},
      {"record too short for its fields", 24, 7, kSevenFields},
      {"more than 19 fields", 76, 20, kSevenFields},
      {"no fields", 28, 0, kSevenFields},
      {"negative field count", 28, -3, kSevenFields},
      {"field position beyond the record", 20, 5, kSevenFields},
  };
  for (const auto& c : cases) {
    OneSecurity db(10, c.fields, std::nullopt, c.recordLength, c.fieldCount);
    SeriesHolder h;
    ASSERT_EQ(AllocatePriceSeries(h.s, 5), 0);
    EXPECT_EQ(ReadSecurity(h.s, db.dir(), "TST", 0, 5, 0), kInvalidParm) << c.what;
    EXPECT_EQ(h.s.info, nullptr) << c.what;
    EXPECT_EQ(h.s.capacity, 5) << c.what;
  }
  // The widest record the reader honours: 19 fields in 76 bytes, the last one named
  // (repeated CLOSE lines use up positions 5 to 18).
  std::vector<std::string> nineteen = {"DATE", "OPEN", "HIGH", "LOW"};
  while (nineteen.size() < 18) nineteen.push_back("CLOSE");
  nineteen.push_back("OI");
  OneSecurity wide(3, nineteen);
  SeriesHolder h;
  ASSERT_EQ(ReadSecurity(h.s, wide.dir(), "TST", 0, -1, 1), 0);
  EXPECT_EQ(h.s.openInterest[2], 2.0f + 0.25f * 18);
}

TEST(ReadSecurityFailures, LongDirectoriesAndKeysAreCutToTheirFields) {
  TempDir tmp;
  fs::path deep = tmp.path();
  while (deep.string().size() < 120) deep /= "subdirectory";
  fs::create_directories(deep);
  const std::string longName = "A name of sixteen";  // cut to 16 in the record
  fixture::Security s;
  s.name = longName;
  s.symbol = "X";
  fixture::WriteMaster(deep / "MASTER", {fixture::SecurityRecord(s)});
  fixture::WriteSimpleSecurity(deep, 1, {.bars = 30});
  SeriesHolder h;
  const std::string key = "a name of sixtee";  // the name, case folded
  ASSERT_EQ(ReadSecurity(h.s, deep.string() + "/", key, -1, 10, 1), 0);
  EXPECT_EQ(std::string(h.s.directory.data()), (deep.string() + "/").substr(0, 70));
  EXPECT_EQ(h.s.directory[70], '\0');
  EXPECT_EQ(std::string(h.s.key.data()), key);

  // A key longer than the key field can match neither a name nor a symbol.
  EXPECT_EQ(ReadSecurity(h.s, deep.string() + "/", std::string(40, 'K'), 0, -1, 1), kFileNotFound);
}

// --- real data ------------------------------------------------------------------------

TEST(ReadSecurityRealData, AsxMiningSecuritiesReadWithAnAddedLayout) {
#ifndef TICKVANE_SHARED_DIR
  GTEST_SKIP() << "no shared data directory";
#else
  const fs::path source = fs::path(TICKVANE_SHARED_DIR) / "realdata" / "asx-mining";
  if (!fs::exists(source / "MASTER")) GTEST_SKIP() << "no " << source;
  TempDir tmp;
  fs::copy(source, tmp.path(), fs::copy_options::recursive);
  for (const auto& entry : fs::directory_iterator(tmp.path())) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 5 && name.ends_with(".DAT"))
      fixture::WriteDop(tmp.path() / (name.substr(0, name.size() - 4) + ".DOP"), kSevenFields);
  }

  // Every fifteenth security of the index, by symbol.
  std::ifstream master(tmp.path() / "MASTER", std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(master)), {});
  const int records = static_cast<int>(bytes.size() / 53) - 1;
  ASSERT_GT(records, 100);
  int checked = 0;
  for (int k = 1; k <= records; k += 15) {
    std::string symbol(&bytes[53 * k + 36], 16);
    symbol = symbol.substr(0, symbol.find(' '));
    SeriesHolder h;
    ASSERT_EQ(AllocatePriceSeries(h.s, 800), 0);
    ASSERT_EQ(ReadSecurity(h.s, tmp.dir(), symbol, -1, 800, 0), 0) << symbol;
    ASSERT_GT(h.s.count, 0) << symbol;
    for (int i = 0; i < h.s.count; ++i) {
      std::int16_t y = 0, m = 0, d = 0;
      SplitDayNumber(h.s.date[i], y, m, d);
      ASSERT_GE(y + 1900, 1985) << symbol << " bar " << i;
      ASSERT_LE(y + 1900, 2012) << symbol << " bar " << i;
      ASSERT_GE(h.s.high[i], h.s.low[i]) << symbol << " bar " << i;
      ASSERT_GE(h.s.low[i], 0.0f) << symbol << " bar " << i;
      ASSERT_GE(h.s.volume[i], 0.0f) << symbol << " bar " << i;
      if (i > 0) {
        ASSERT_GT(h.s.date[i], h.s.date[i - 1]) << symbol << " bar " << i;
      }
    }
    std::int16_t y = 0, m = 0, d = 0;
    SplitDayNumber(h.s.date[h.s.count - 1], y, m, d);
    EXPECT_EQ(y + 1900, 2012) << symbol;
    ++checked;
  }
  EXPECT_GE(checked, 10);
#endif
}

}  // namespace
