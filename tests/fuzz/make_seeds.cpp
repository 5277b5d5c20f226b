// make_fuzz_seeds DIR: writes the seed corpus of the fuzz targets (checked in under
// tests/fuzz/corpus): small valid databases, so the fuzzers start from real structure.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz_input.h"
#include "quote_writer.h"

namespace {

std::string Slurp(const fuzz::fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string MasterBytes(const std::vector<fixture::Record53>& records) {
  fixture::TempDir tmp;
  fixture::WriteMaster(tmp.path() / "M", records);
  return Slurp(tmp.path() / "M");
}

std::string DatBytes(int recordLength, int bars, int fields) {
  std::vector<std::vector<float>> rows;
  for (int i = 0; i < bars; ++i) {
    std::vector<float> row = {fixture::DateReal(1999 + i / 300, 1 + i / 25 % 12, 1 + i % 25)};
    for (int f = 1; f < fields; ++f) row.push_back(10.0f + static_cast<float>(i + f));
    rows.push_back(row);
  }
  fixture::TempDir tmp;
  fixture::WriteDat(tmp.path() / "D", recordLength, rows);
  return Slurp(tmp.path() / "D");
}

fixture::Record53 Sec(std::uint8_t n, const char* name, const char* symbol) {
  fixture::Security s;
  s.fileNumber = n;
  s.name = name;
  s.symbol = symbol;
  return fixture::SecurityRecord(s);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds DIR\n");
    return 2;
  }
  const fuzz::fs::path out = argv[1];
  for (const char* t : {"data_layout", "find_security", "read_security", "security_index"})
    fuzz::fs::create_directories(out / t);

  fuzz::WriteFile(out / "data_layout" / "seven",
                  "\"DATE\",0,0\r\n\"OPEN\",0,0\r\n\"HIGH\",0,0\r\n\"LOW\",0,0\r\n"
                  "\"CLOSE\",0,0\r\n\"VOL\",0,0\r\n\"OI\",0,0\r\n");
  fuzz::WriteFile(out / "data_layout" / "intraday",
                  "\"DATE\",1,2\n\"TIME\",3,4\n\"OPEN\",5,6\n\"HIGH\",7,8\n\"LOW\",-1,-2\n"
                  "\"CLOSE\",9,10\n\"VOLUME\",11,12\n\"OI\",13,14\n\"SPLIT\",0,0\n");

  fuzz::WriteFile(
      out / "find_security" / "tree",
      fuzz::Join({"GOLD",
                  MasterBytes({Sec(1, "Alpha", "ALP"), fixture::DirectoryRecord("SUB1"),
                               Sec(2, "Beta", "BET"), fixture::DirectoryRecord("SUB2")}),
                  MasterBytes({Sec(1, "Gamma", "GAM"), fixture::DirectoryRecord("DEEP")}),
                  MasterBytes({Sec(1, "Gold Corp", "GOLD")}),
                  MasterBytes({Sec(1, "Silver", "SLV A")})}));
  fuzz::WriteFile(out / "find_security" / "blank_key",
                  fuzz::Join({"SLV A", MasterBytes({fixture::DirectoryRecord("SUB2")}), "", "",
                              MasterBytes({Sec(3, "Silver", "SLV A")})}));

  const std::string seven =
      "\"DATE\",0,0\n\"OPEN\",0,0\n\"HIGH\",0,0\n\"LOW\",0,0\n"
      "\"CLOSE\",0,0\n\"VOL\",0,0\n\"OI\",0,0\n";
  fuzz::WriteFile(out / "read_security" / "last",
                  fuzz::EncodeHead({28, 7, -1, 800, 0}) + fuzz::Join({seven, DatBytes(28, 40, 7)}));
  fuzz::WriteFile(out / "read_security" / "all_allocated",
                  fuzz::EncodeHead({28, 7, 0, -1, 1}) + fuzz::Join({seven, DatBytes(28, 60, 7)}));
  fuzz::WriteFile(out / "read_security" / "five_fields_window",
                  fuzz::EncodeHead({20, 5, 3, 10, 2}) +
                      fuzz::Join({"\"DATE\",0,0\n\"HIGH\",0,0\n\"LOW\",0,0\n\"CLOSE\",0,0\n"
                                  "\"VOL\",0,0\n",
                                  DatBytes(20, 30, 5)}));
  fuzz::WriteFile(
      out / "read_security" / "extended_six_no_layout",
      fuzz::EncodeHead({24, 6, -1, 800, 4 | 8}) + fuzz::Join({"", DatBytes(24, 50, 6)}));
  fuzz::WriteFile(out / "read_security" / "extended_lying_header",
                  fuzz::EncodeHead({28, 7, -1, 800, 1 | 4}) +
                      fuzz::Join({seven, DatBytes(28, 30, 7).substr(0, 28 * 12)}));

  const auto fileBytes = [](auto write) {
    fixture::TempDir tmp;
    write(tmp.path() / "F");
    return Slurp(tmp.path() / "F");
  };
  const std::string emaster = fileBytes([](const fuzz::fs::path& f) {
    fixture::WriteEmaster(f, {{1, "ALP", "Alpha Resources Limited"}});
  });
  const std::string xmaster = fileBytes([](const fuzz::fs::path& f) {
    fixture::WriteXmaster(f, {{256, "XTR", "Extra Mining", 0x1F}, {257, "XTS", "Extra Two", 0x7F}});
  });
  fuzz::WriteFile(
      out / "security_index" / "vendor_directory",
      fuzz::Join({"alpha resources limited",
                  MasterBytes({Sec(1, "Alpha", "ALP"), fixture::DirectoryRecord("SUB")}), emaster,
                  xmaster, DatBytes(20, 40, 5)}));
  return 0;
}
