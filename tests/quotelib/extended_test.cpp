// The extended reading: the index of MASTER, EMASTER and XMASTER, layouts inferred from the
// records, headers overruled by the records present, and hostile index files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "extended.h"
#include "quote_writer.h"
#include "series.h"
#include "values.h"

namespace {

namespace fs = std::filesystem;
using fixture::TempDir;
using F = SeriesField;

// One security's bars in a plain form: DATE, TIME, OPEN, HIGH, LOW, CLOSE, VOL, OI.
struct Bar {
  float date, time, open, high, low, close, volume, oi;
};

// A walk with every fifth bar flat and two broken bars (high below low), so that inference
// has to cope with both.
std::vector<Bar> Walk(int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> step(-0.3f, 0.3f), spread(0.05f, 0.5f);
  std::vector<Bar> bars;
  float price = 20.0f;
  for (int i = 0; i < count; ++i) {
    price = std::max(1.0f, price + step(rng));
    Bar b{fixture::DateReal(2001 + i / 250, 1 + i / 21 % 12, 1 + i % 21),
          93000.0f,
          price,
          0,
          0,
          price,
          1000.0f + static_cast<float>(rng() % 50000),
          static_cast<float>(rng() % 900)};
    const float s = i % 5 == 0 ? 0.0f : spread(rng);
    b.high = price + s;
    b.low = price - s;
    b.open = i % 5 == 0 ? price : b.low + s * 0.5f;
    b.close = i % 5 == 0 ? price : b.high - s * 0.25f;
    if (i == 3 || i == count / 2) std::swap(b.high, b.low);
    bars.push_back(b);
  }
  return bars;
}

struct Shape {
  int fields;
  std::vector<std::string> names;  // the layout, in field order
};

const std::vector<Shape>& Shapes() {
  static const std::vector<Shape> shapes = {
      {5, {"DATE", "OPEN", "HIGH", "LOW", "CLOSE"}},
      {5, {"DATE", "HIGH", "LOW", "CLOSE", "VOL"}},
      {6, {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL"}},
      {6, {"DATE", "HIGH", "LOW", "CLOSE", "VOL", "OI"}},
      {7, {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"}},
      {8, {"DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"}},
  };
  return shapes;
}

std::vector<std::vector<float>> Rows(const std::vector<Bar>& bars, const Shape& shape) {
  std::vector<std::vector<float>> rows;
  for (const Bar& b : bars) {
    std::vector<float> row;
    for (const auto& name : shape.names) {
      row.push_back(name == "DATE"    ? b.date
                    : name == "TIME"  ? b.time
                    : name == "OPEN"  ? b.open
                    : name == "HIGH"  ? b.high
                    : name == "LOW"   ? b.low
                    : name == "CLOSE" ? b.close
                    : name == "VOL"   ? b.volume
                                      : b.oi);
    }
    rows.push_back(row);
  }
  return rows;
}

void ExpectSameSeries(const PriceSeries& a, const PriceSeries& b, const std::string& what) {
  ASSERT_EQ(a.count, b.count) << what;
  for (int i = 0; i < a.count; ++i) {
    ASSERT_EQ(a.date[i], b.date[i]) << what << " bar " << i;
    ASSERT_EQ(a.time[i], b.time[i]) << what << " bar " << i;
    for (auto column : {&PriceSeries::open, &PriceSeries::high, &PriceSeries::low,
                        &PriceSeries::close, &PriceSeries::volume, &PriceSeries::openInterest})
      ASSERT_EQ((a.*column)[i], (b.*column)[i]) << what << " bar " << i;
  }
}

std::vector<std::uint8_t> RecordBytes(const std::vector<std::vector<float>>& rows, int length) {
  std::vector<std::uint8_t> out;
  for (const auto& row : rows) {
    std::vector<std::uint8_t> record(static_cast<std::size_t>(length), 0);
    for (std::size_t f = 0; f < row.size(); ++f) {
      const auto mbf = fixture::IeeeToMbf(row[f]);
      std::copy(mbf.begin(), mbf.end(), record.begin() + static_cast<long>(4 * f));
    }
    out.insert(out.end(), record.begin(), record.end());
  }
  return out;
}

std::array<std::int16_t, 8> Positions(std::initializer_list<F> fields) {
  DataLayout layout;
  std::int16_t p = 1;
  for (const F f : fields) layout.position[static_cast<int>(f)] = p++;
  return layout.position;
}

// 200 securities of every field count and both readings of 5 and 6 fields, some long
// enough to be sampled rather than read whole: without their layout files they read
// exactly as with them.
TEST(ExtendedReading, SecuritiesWithoutLayoutFilesReadAsWithThem) {
  TempDir withDop, without;
  std::vector<fixture::Record53> master;
  for (int k = 0; k < 200; ++k) {
    const Shape& shape = Shapes()[static_cast<std::size_t>(k) % Shapes().size()];
    fixture::Security s;
    s.fileNumber = static_cast<std::uint8_t>(k + 1);
    s.fieldCount = static_cast<std::int8_t>(shape.fields);
    s.recordLength = static_cast<std::int8_t>(4 * shape.fields);
    s.symbol = "S" + std::to_string(k);
    s.name = "Security " + std::to_string(k);
    master.push_back(fixture::SecurityRecord(s));
    const int bars = k % 7 == 0 ? 1500 + 13 * k : 20 + 7 * k;
    const auto rows = Rows(Walk(bars, static_cast<unsigned>(k)), shape);
    const std::string n = std::to_string(k + 1);
    for (const TempDir* dir : {&withDop, &without})
      fixture::WriteDat(dir->path() / ("F" + n + ".DAT"), s.recordLength, rows);
    fixture::WriteDop(withDop.path() / ("F" + n + ".DOP"), shape.names);
  }
  fixture::WriteMaster(withDop.path() / "MASTER", master);
  fixture::WriteMaster(without.path() / "MASTER", master);

  for (int k = 0; k < 200; ++k) {
    const std::string symbol = "S" + std::to_string(k);
    PriceSeries classic, extended;
    ASSERT_EQ(ReadSecurity(classic, withDop.dir(), symbol, 0, -1, 1), kSuccess) << symbol;
    ASSERT_EQ(ReadSecurityExtended(extended, without.dir(), symbol, 0, -1, 1), kSuccess) << symbol;
    ExpectSameSeries(classic, extended, symbol);
    // Without the switch the missing layout file still fails.
    EXPECT_EQ(ReadSecurity(classic, without.dir(), symbol, 0, -1, 1), kFileOpen) << symbol;
    ReleasePriceSeries(classic);
    ReleasePriceSeries(extended);
  }
}

TEST(ExtendedReading, InferenceVotesBarByBar) {
  DataLayout layout;
  const auto fiveA = Positions({F::Date, F::Open, F::High, F::Low, F::Close});
  const auto fiveB = Positions({F::Date, F::High, F::Low, F::Close, F::Volume});

  // Bars whose every field is equal fit both readings: they decide nothing, and three
  // bars that fit only the second reading do.
  std::vector<std::vector<float>> rows(60, {1050101.0f, 7.5f, 7.5f, 7.5f, 7.5f});
  for (int i = 0; i < 3; ++i) rows.push_back({1050102.0f, 8.0f, 7.0f, 7.5f, 12000.0f});
  ASSERT_TRUE(InferDataLayout(RecordBytes(rows, 20), 20, 5, layout));
  EXPECT_EQ(layout.position, fiveB);

  // Nothing but such bars: a tie, and the first reading is taken.
  rows.resize(60);
  ASSERT_TRUE(InferDataLayout(RecordBytes(rows, 20), 20, 5, layout));
  EXPECT_EQ(layout.position, fiveA);
  ASSERT_TRUE(InferDataLayout({}, 20, 5, layout));
  EXPECT_EQ(layout.position, fiveA);

  // Many good bars of the first reading outvote a few that fit only the second.
  rows.clear();
  for (int i = 0; i < 40; ++i) rows.push_back({1050101.0f, 7.2f, 8.0f, 7.0f, 7.6f});
  for (int i = 0; i < 4; ++i) rows.push_back({1050102.0f, 8.0f, 7.0f, 7.5f, 12000.0f});
  ASSERT_TRUE(InferDataLayout(RecordBytes(rows, 20), 20, 5, layout));
  EXPECT_EQ(layout.position, fiveA);

  // Seven and eight fields have one layout each; others, and records too short for their
  // fields, have none.
  ASSERT_TRUE(InferDataLayout({}, 28, 7, layout));
  EXPECT_EQ(layout.position,
            Positions({F::Date, F::Open, F::High, F::Low, F::Close, F::Volume, F::OpenInterest}));
  ASSERT_TRUE(InferDataLayout({}, 32, 8, layout));
  EXPECT_EQ(layout.position, Positions({F::Date, F::Time, F::Open, F::High, F::Low, F::Close,
                                        F::Volume, F::OpenInterest}));
  for (const int fields : {0, 1, 4, 9, 19, -3})
    EXPECT_FALSE(InferDataLayout({}, 76, fields, layout));
  EXPECT_FALSE(InferDataLayout({}, 24, 7, layout));
}

// A directory as vendors write it: more than 127 MASTER records, long names in EMASTER,
// more securities in XMASTER with their data in F<n>.MWD.
TEST(ExtendedReading, IndexJoinsMasterEmasterAndXmaster) {
  TempDir tmp;
  std::vector<fixture::Record53> master;
  for (int k = 1; k <= 300; ++k) {
    fixture::Security s;
    s.fileNumber = static_cast<std::uint8_t>(k);
    s.symbol = "M" + std::to_string(k);
    s.name = "Master " + std::to_string(k);
    master.push_back(fixture::SecurityRecord(s));
  }
  fixture::WriteMaster(tmp.path() / "MASTER", master);
  fixture::WriteEmaster(tmp.path() / "EMASTER",
                        {{3, "M3", "A'asian Resources Limited"}, {4, "M4", ""}});
  fixture::WriteXmaster(tmp.path() / "XMASTER", {{300, "XONE", "Extended One Holdings", 0x7F},
                                                 {301, "XTWO", "Extended Two", 0x1F}});
  fixture::WriteSimpleSecurity(tmp.path(), 3, {.bars = 30});
  fs::rename(tmp.path() / "F3.DAT", tmp.path() / "F300.MWD");
  fs::remove(tmp.path() / "F3.DOP");

  std::vector<IndexedSecurity> index;
  ASSERT_EQ(ReadSecurityIndex(tmp.dir() + "MASTER", index), kSuccess);
  ASSERT_EQ(index.size(), 255u + 2u);
  EXPECT_EQ(index[2].name, "A'asian Resources Limited");
  EXPECT_EQ(index[3].name, "Master 4");  // an empty long name keeps MASTER's
  EXPECT_EQ(index[255].symbol, "XONE");
  EXPECT_EQ(index[255].name, "Extended One Holdings");
  EXPECT_TRUE(index[255].xmaster);
  EXPECT_EQ(index[255].fileNumber, 300);
  EXPECT_EQ(index[256].fieldCount, 5);
  EXPECT_EQ(index[256].recordLength, 20);
  // Opening XMASTER opens the same index.
  std::vector<IndexedSecurity> again;
  ASSERT_EQ(ReadSecurityIndex(tmp.dir() + "xmaster", again), kSuccess);
  EXPECT_EQ(again.size(), index.size());

  // Long names and XMASTER symbols are found, without regard to case.
  IndexedSecurity entry;
  std::string found;
  ASSERT_EQ(FindIndexedSecurity(tmp.dir(), "a'asian resources limited", entry, found), kSuccess);
  EXPECT_EQ(entry.fileNumber, 3);
  ASSERT_EQ(FindIndexedSecurity(tmp.dir(), "xone", entry, found), kSuccess);
  EXPECT_TRUE(entry.xmaster);
  PriceSeries series;
  ASSERT_EQ(ReadSecurityExtended(series, tmp.dir(), "XONE", -1, 800, 1), kSuccess);
  EXPECT_EQ(series.count, 30);
  ReleasePriceSeries(series);
  // Its data file is missing: -2, as for a missing F<n>.DAT.
  EXPECT_EQ(ReadSecurityExtended(series, tmp.dir(), "XTWO", -1, 800, 1), kFileOpen);
  ReleasePriceSeries(series);
}

TEST(ExtendedReading, SubdirectoryMatchTakesItsDirectorysLongName) {
  TempDir tmp;
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::DirectoryRecord("SUB")});
  fs::create_directory(tmp.path() / "SUB");
  fixture::Security s;
  s.fileNumber = 9;
  s.symbol = "DEEP";
  s.name = "Deep Sea Mining ";
  fixture::WriteMaster(tmp.path() / "SUB" / "MASTER", {fixture::SecurityRecord(s)});
  fixture::WriteEmaster(tmp.path() / "SUB" / "EMASTER",
                        {{9, "DEEP", "Deep Sea Mining Corporation"}});
  IndexedSecurity entry;
  std::string found;
  ASSERT_EQ(FindIndexedSecurity(tmp.dir(), "deep", entry, found), kSuccess);
  EXPECT_EQ(found, tmp.dir() + "SUB/");
  EXPECT_EQ(entry.name, "Deep Sea Mining Corporation");
}

TEST(ExtendedReading, LayoutFileWinsOverInference) {
  TempDir tmp;
  fixture::Security s;
  s.symbol = "DOPW";
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)});
  fixture::WriteSimpleSecurity(tmp.path(), 1, {.bars = 10});
  fixture::WriteDop(tmp.path() / "F1.DOP", {"DATE", "HIGH", "LOW", "CLOSE", "VOL", "OI"});
  PriceSeries classic, extended;
  ASSERT_EQ(ReadSecurity(classic, tmp.dir(), "DOPW", 0, -1, 1), kSuccess);
  ASSERT_EQ(ReadSecurityExtended(extended, tmp.dir(), "DOPW", 0, -1, 1), kSuccess);
  ExpectSameSeries(classic, extended, "DOPW");
  EXPECT_EQ(extended.open[0], -1.0f);
  ReleasePriceSeries(classic);
  ReleasePriceSeries(extended);
}

// A header that counts more records than the file holds: the records present decide the
// window, so the newest bars show.
TEST(ExtendedReading, RecordsPresentOverruleTheHeader) {
  TempDir tmp;
  fixture::Security s;
  s.symbol = "LIAR";
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)});
  fixture::WriteSimpleSecurity(tmp.path(), 1, {.bars = 900});
  PriceSeries all;
  ASSERT_EQ(ReadSecurity(all, tmp.dir(), "LIAR", 0, -1, 1), kSuccess);
  PriceSeries expected;
  ASSERT_EQ(ReadSecurity(expected, tmp.dir(), "LIAR", -1, 800, 1), kSuccess);
  const auto bytes = fs::file_size(tmp.path() / "F1.DAT");
  {  // the header now claims 5000 records
    std::fstream f(tmp.path() / "F1.DAT", std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(2);
    const char r[2] = {static_cast<char>(5001 & 0xFF), static_cast<char>(5001 >> 8)};
    f.write(r, 2);
  }
  ASSERT_EQ(fs::file_size(tmp.path() / "F1.DAT"), bytes);
  PriceSeries classic, extended;
  ASSERT_EQ(ReadSecurity(classic, tmp.dir(), "LIAR", -1, 800, 1), kSuccess);
  EXPECT_EQ(classic.count, 0);  // the window lies past the records present
  ASSERT_EQ(ReadSecurityExtended(extended, tmp.dir(), "LIAR", -1, 800, 1), kSuccess);
  ExpectSameSeries(expected, extended, "LIAR");
  for (auto* s2 : {&all, &expected, &classic, &extended}) ReleasePriceSeries(*s2);
}

// A data file whose record count is wrong is named with what is wrong; the extended reading
// reads the records a header count of 0 or past 32767 leaves out.
TEST(ExtendedReading, ADataFilesRecordCountIsDescribedByName) {
  const struct {
    int stored;  // the header's count, the header itself included
    bool cut;    // the file cut to its header
    const char* classic;
    const char* extended;
    int extendedBars;
  } cases[] = {
      {11, false, "", "", 10},
      {11, true, "F1.DAT holds no records", "F1.DAT holds no records", 0},
      {1, false, "counts no records where the file holds 10",
       "counts no records where the file holds 10", 0},
      {0, false, "counts 0 records where the file holds 10; --extended reads them", "", 10},
      {65535, false,
       "counts 65535 records, more than the classic reading takes, where the file holds 10; "
       "--extended reads them",
       "", 10},
  };
  for (const auto& c : cases) {
    TempDir tmp;
    fixture::Security s;
    s.symbol = "CNT";
    fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)});
    fixture::WriteSimpleSecurity(tmp.path(), 1, {.bars = 10});
    const fs::path data = tmp.path() / "F1.DAT";
    if (c.cut) fs::resize_file(data, fs::file_size(data) / 11);
    {
      std::fstream f(data, std::ios::in | std::ios::out | std::ios::binary);
      f.seekp(2);
      const char r[2] = {static_cast<char>(c.stored & 0xFF), static_cast<char>(c.stored >> 8)};
      f.write(r, 2);
    }
    const std::string classic = DescribeRecordCount(tmp.dir(), "CNT", false);
    const std::string extended = DescribeRecordCount(tmp.dir(), "CNT", true);
    EXPECT_EQ(classic.empty(), *c.classic == '\0') << classic;
    EXPECT_NE(classic.find(c.classic), std::string::npos) << classic;
    EXPECT_EQ(extended.empty(), *c.extended == '\0') << extended;
    EXPECT_NE(extended.find(c.extended), std::string::npos) << extended;
    PriceSeries series;
    const bool read = ReadSecurityExtended(series, tmp.dir(), "CNT", -1, 800, 1) == kSuccess;
    EXPECT_EQ(read ? series.count : 0, c.extendedBars) << c.stored;
    ReleasePriceSeries(series);
  }
}

// Broken index files refuse the index as a broken MASTER would: no entry is made up, and no
// count sizes anything before the file is known to hold it.
TEST(ExtendedReading, BrokenIndexFilesAreRefused) {
  TempDir tmp;
  fixture::Security s;
  s.symbol = "OK";
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)});
  std::vector<IndexedSecurity> index;
  const std::string master = tmp.dir() + "MASTER";

  fixture::WriteEmaster(tmp.path() / "EMASTER", {{1, "OK", "Okay"}}, 5);
  EXPECT_EQ(ReadSecurityIndex(master, index), kFileRead);
  EXPECT_TRUE(index.empty());
  fixture::WriteEmaster(tmp.path() / "EMASTER", {{1, "OK", "Okay"}}, -1);
  EXPECT_EQ(ReadSecurityIndex(master, index), kFileRead);
  fixture::WriteText(tmp.path() / "EMASTER", "short");
  EXPECT_EQ(ReadSecurityIndex(master, index), kFileRead);
  // A long name that fills its field to the end of the record without a NUL.
  fixture::WriteEmaster(tmp.path() / "EMASTER", {{1, "OK", std::string(80, 'L')}});
  ASSERT_EQ(ReadSecurityIndex(master, index), kSuccess);
  EXPECT_EQ(index[0].name, std::string(192 - 139, 'L'));

  fixture::WriteXmaster(tmp.path() / "XMASTER", {{400, "X", "X"}}, 65535);
  EXPECT_EQ(ReadSecurityIndex(master, index), kFileRead);
  fixture::WriteText(tmp.path() / "XMASTER", std::string(149, 'x'));
  EXPECT_EQ(ReadSecurityIndex(master, index), kFileRead);
  // Field bits that name more fields than a layout knows: read as what they count.
  fixture::WriteXmaster(tmp.path() / "XMASTER", {{400, "X", "X", 0xFF}});
  ASSERT_EQ(ReadSecurityIndex(master, index), kSuccess);
  EXPECT_EQ(index[1].fieldCount, 8);

  // MASTER itself: a count beyond its records, a negative count.
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)}, 3);
  EXPECT_EQ(ReadSecurityIndex(master, index), kFileRead);
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)}, -2);
  EXPECT_EQ(ReadSecurityIndex(master, index), kFileRead);
  EXPECT_EQ(ReadSecurityIndex(tmp.dir() + "NOMASTER", index), kFileOpen);
}

// Where a security of the field-set table is indexed.
enum class IndexedIn { Xmaster, Emaster, MasterOnly };

struct FieldSetCase {
  const char* what;
  IndexedIn index;
  std::vector<F> stored;  // the fields each record holds, in record order
  std::uint8_t bits;      // the field set XMASTER or EMASTER gives (0: none)
  char period;
  const char* refusal = nullptr;  // set: the read is refused (-1), the reason saying this
};

float FieldValue(const Bar& b, F field) {
  switch (field) {
    case F::Date:
      return b.date;
    case F::Time:
      return b.time;
    case F::Open:
      return b.open;
    case F::High:
      return b.high;
    case F::Low:
      return b.low;
    case F::Close:
      return b.close;
    case F::Volume:
      return b.volume;
    case F::OpenInterest:
      return b.oi;
  }
  return 0.0f;
}

// One security of the field-set table, written as a vendor writes it and read back.
void ExpectFieldSetRead(const FieldSetCase& c) {
  TempDir tmp;
  const int fields = static_cast<int>(c.stored.size());
  std::vector<Bar> bars = Walk(60, static_cast<unsigned>(fields) * 31u + c.bits);
  for (std::size_t i = 0; i < bars.size(); ++i)
    bars[i].time = 93000.0f + static_cast<float>(i % 6 * 1000 + i % 50);
  std::vector<std::vector<float>> rows;
  for (const Bar& b : bars) {
    std::vector<float> row;
    for (const F f : c.stored) row.push_back(FieldValue(b, f));
    rows.push_back(row);
  }
  if (c.index == IndexedIn::Xmaster) {
    fixture::WriteMaster(tmp.path() / "MASTER", {});
    fixture::WriteXmaster(tmp.path() / "XMASTER", {{.fileNumber = 300,
                                                    .symbol = "SET",
                                                    .name = "Field Set",
                                                    .fieldBits = c.bits,
                                                    .period = c.period}});
    fixture::WriteDat(tmp.path() / "F300.MWD", 4 * fields, rows);
  } else {
    fixture::Security s;
    s.fileNumber = 5;
    s.symbol = "SET";
    s.fieldCount = static_cast<std::int8_t>(fields);
    s.recordLength = static_cast<std::int8_t>(4 * fields);
    s.period = c.period;
    fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)});
    if (c.index == IndexedIn::Emaster)
      fixture::WriteEmaster(tmp.path() / "EMASTER", {{5, "SET", "", c.bits}});
    fixture::WriteDat(tmp.path() / "F5.DAT", 4 * fields, rows);
  }

  PriceSeries series;
  const ResultCode rc = ReadSecurityExtended(series, tmp.dir(), "SET", 0, -1, 1);
  if (c.refusal != nullptr) {
    EXPECT_EQ(rc, kInvalidParm);
    EXPECT_NE(DescribeUnreadableShape(tmp.dir(), "SET").find(c.refusal), std::string::npos)
        << DescribeUnreadableShape(tmp.dir(), "SET");
    ReleasePriceSeries(series);
    return;
  }
  ASSERT_EQ(rc, kSuccess);
  ASSERT_EQ(series.count, static_cast<int>(bars.size()));
  const auto has = [&](F f) {
    return std::find(c.stored.begin(), c.stored.end(), f) != c.stored.end();
  };
  const auto value = [&](const Bar& b, F f) { return has(f) ? FieldValue(b, f) : -1.0f; };
  for (int i = 0; i < series.count; ++i) {
    const Bar& b = bars[static_cast<std::size_t>(i)];
    ASSERT_EQ(series.date[i], DateFromReal(b.date)) << "bar " << i;
    ASSERT_EQ(series.time[i], has(F::Time) ? TimeFromReal(b.time) : 0) << "bar " << i;
    ASSERT_EQ(series.open[i], value(b, F::Open)) << "bar " << i;
    ASSERT_EQ(series.high[i], value(b, F::High)) << "bar " << i;
    ASSERT_EQ(series.low[i], value(b, F::Low)) << "bar " << i;
    ASSERT_EQ(series.close[i], value(b, F::Close)) << "bar " << i;
    ASSERT_EQ(series.volume[i], value(b, F::Volume)) << "bar " << i;
    ASSERT_EQ(series.openInterest[i], value(b, F::OpenInterest)) << "bar " << i;
  }
  ReleasePriceSeries(series);
}

// Vendor-style directories, one security each, read without layout files: the index's field
// set decides the layout where it is usable, the field count and period where it is not, and
// a security that nothing fits is refused with the reason.
TEST(ExtendedReading, FieldSetsFromTheIndex) {
  const std::vector<F> daily7 = {F::Date,  F::Open,   F::High,        F::Low,
                                 F::Close, F::Volume, F::OpenInterest};
  const std::vector<F> intraday7 = {F::Date, F::Time,  F::Open,  F::High,
                                    F::Low,  F::Close, F::Volume};
  const std::vector<F> all8 = {F::Date, F::Time,  F::Open,   F::High,
                               F::Low,  F::Close, F::Volume, F::OpenInterest};
  const std::vector<F> hlc = {F::Date, F::High, F::Low, F::Close};
  const std::vector<F> hlcOi = {F::Date, F::High, F::Low, F::Close, F::OpenInterest};
  const std::vector<F> daily6 = {F::Date, F::Open, F::High, F::Low, F::Close, F::Volume};
  const std::vector<F> daily5 = {F::Date, F::Open, F::High, F::Low, F::Close};
  const std::vector<F> intraday6 = {F::Date, F::Time, F::High, F::Low, F::Close, F::Volume};
  const std::vector<F> intraday5 = {F::Date, F::Time, F::High, F::Low, F::Close};
  const std::vector<F> closeVolume = {F::Date, F::Close, F::Volume};
  const std::vector<FieldSetCase> cases = {
      {"daily 7 fields", IndexedIn::Xmaster, daily7, 0x7F, 'D'},
      {"intraday 0xBF", IndexedIn::Xmaster, intraday7, 0xBF, 'I'},
      {"intraday 0xFF", IndexedIn::Xmaster, all8, 0xFF, 'I'},
      {"4 fields 0x0F", IndexedIn::Xmaster, hlc, 0x0F, 'D'},
      {"daily 6 fields 0x3F", IndexedIn::Xmaster, daily6, 0x3F, 'D'},
      {"daily 5 fields 0x2F", IndexedIn::Xmaster, daily5, 0x2F, 'D'},
      {"XMASTER set without DATE: the count decides", IndexedIn::Xmaster, daily5, 0x3E, 'D'},
      {"EMASTER 4 fields", IndexedIn::Emaster, hlc, 0x0F, 'D'},
      {"EMASTER DATE HIGH LOW CLOSE OI", IndexedIn::Emaster, hlcOi, 0x4F, 'D'},
      {"EMASTER intraday 0xBF", IndexedIn::Emaster, intraday7, 0xBF, 'D'},
      {"EMASTER set against the field count", IndexedIn::Emaster, daily6, 0x7F, 'D'},
      {"MASTER intraday 7 fields", IndexedIn::MasterOnly, intraday7, 0, 'I'},
      {"MASTER intraday 6 fields", IndexedIn::MasterOnly, intraday6, 0, 'I'},
      {"MASTER intraday 8 fields", IndexedIn::MasterOnly, all8, 0, 'I'},
      {"MASTER daily 6 fields", IndexedIn::MasterOnly, daily6, 0, 'D'},
      {"MASTER 4 fields", IndexedIn::MasterOnly, hlc, 0, 'D',
       "no layout fits 4 fields in records of 16 bytes"},
      {"MASTER intraday 5 fields", IndexedIn::MasterOnly, intraday5, 0, 'I',
       "no layout fits 5 fields of intraday data"},
      {"EMASTER set of 5 for 3 fields", IndexedIn::Emaster, closeVolume, 0x1F, 'D',
       "the index's field set does not agree with the field count"},
  };

  for (const FieldSetCase& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectFieldSetRead(c);
  }
}

// An empty or garbled layout file names no field: the extended reading takes the field count
// instead, where the classic reading keeps reading what the file names (nothing: all -1).
TEST(ExtendedReading, LayoutFileNamingNoFieldCountsAsMissing) {
  TempDir tmp;
  fixture::Security s;
  s.symbol = "GARB";
  fixture::WriteMaster(tmp.path() / "MASTER", {fixture::SecurityRecord(s)});
  fixture::WriteSimpleSecurity(tmp.path(), 1, {.bars = 12});
  PriceSeries expected;
  ASSERT_EQ(ReadSecurity(expected, tmp.dir(), "GARB", 0, -1, 1), kSuccess);
  for (const char* text : {"", "garbage\r\n", "\"FOO\",1,2\r\n\"BAR\"\r\n", "\n\n\n"}) {
    SCOPED_TRACE(text);
    fixture::WriteText(tmp.path() / "F1.DOP", text);
    PriceSeries classic, extended;
    ASSERT_EQ(ReadSecurityExtended(extended, tmp.dir(), "GARB", 0, -1, 1), kSuccess);
    ExpectSameSeries(expected, extended, "GARB");
    ASSERT_EQ(ReadSecurity(classic, tmp.dir(), "GARB", 0, -1, 1), kSuccess);
    EXPECT_EQ(classic.close[0], -1.0f);
    EXPECT_EQ(classic.date[0], 0);
    ReleasePriceSeries(classic);
    ReleasePriceSeries(extended);
  }
  ReleasePriceSeries(expected);
}

// The real directory: 215 securities without layout files read exactly as a copy with the
// seven-field layout file added beside each.
TEST(ExtendedReading, RealDirectoryReadsAsWithLayoutFiles) {
  const fs::path real = fs::path(TICKVANE_SHARED_DIR) / "realdata" / "asx-mining";
  if (!fs::exists(real / "MASTER")) GTEST_SKIP() << "no real data at " << real;
  std::vector<IndexedSecurity> index;
  ASSERT_EQ(ReadSecurityIndex((real / "MASTER").string(), index), kSuccess);
  ASSERT_EQ(index.size(), 215u);
  TempDir copy;
  fs::copy(real, copy.path(), fs::copy_options::recursive);
  for (const auto& entry : index) {
    fixture::WriteDop(copy.path() / ("F" + std::to_string(entry.fileNumber) + ".DOP"),
                      {"DATE", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"});
  }
  for (const auto& entry : index) {
    PriceSeries classic, extended;
    ASSERT_EQ(ReadSecurity(classic, copy.dir(), entry.symbol, 0, -1, 1), kSuccess) << entry.symbol;
    ASSERT_EQ(ReadSecurityExtended(extended, real.string(), entry.symbol, 0, -1, 1), kSuccess)
        << entry.symbol;
    ExpectSameSeries(classic, extended, entry.symbol);
    ReleasePriceSeries(classic);
    ReleasePriceSeries(extended);
  }
  const auto arh = std::find_if(index.begin(), index.end(),
                                [](const IndexedSecurity& e) { return e.symbol == "ARH"; });
  ASSERT_NE(arh, index.end());
  EXPECT_EQ(arh->name, "A'asian Resources");
}

}  // namespace
