// quotedump list MASTERFILE: every record the header announces, one line each.
#include <algorithm>
#include <iostream>

#include "commands.h"
#include "extended.h"
#include "quote_file.h"

namespace quotedump {

namespace {

// Every entry of the directory's index: MASTER's records, with EMASTER's long names, then
// XMASTER's securities (kind "xmaster").
int ListIndex(const std::string& given, const std::string& path) {
  std::vector<IndexedSecurity> index;
  const ResultCode code = ReadSecurityIndex(path, index);
  if (code == kFileOpen) {
    PrintError(given + ": cannot open (missing, unreadable or not a regular file)");
    return kExitFailure;
  }
  if (code != kSuccess) {
    PrintError(given + ": the index (MASTER, EMASTER or XMASTER) cannot be read: a header or " +
               "a record it counts is missing");
    return kExitFailure;
  }
  int number = 0;
  for (const auto& entry : index) {
    std::cout << ++number << '\t' << entry.fileNumber << '\t' << entry.recordLength << '\t'
              << entry.fieldCount << '\t'
              << (entry.directory ? "dir"
                  : entry.xmaster ? "xmaster"
                                  : "security")
              << '\t' << FieldText(entry.name) << '\t' << FieldText(entry.record.symbol()) << '\n';
  }
  return kExitOk;
}

}  // namespace

int RunList(Args args, bool extended) {
  // The file name is matched without regard to case, as the library matches its index files:
  // "list DB/master" opens DB/MASTER.
  const std::string given(args[0]);
  std::string normalised = given;
  std::replace(normalised.begin(), normalised.end(), '\\', '/');
  const std::size_t slash = normalised.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : normalised.substr(0, slash + 1);
  const std::string path = ResolveInDirectory(directory, normalised.substr(directory.size()));
  if (extended) return ListIndex(given, path);
  QuoteFile file;
  if (!file.open(path)) {
    PrintError(given + ": cannot open (missing, unreadable or not a regular file)");
    return kExitFailure;
  }
  std::int16_t count = 0;
  if (!ReadMasterHeader(file, count)) {
    PrintError(given + ": cannot read the header record");
    return kExitFailure;
  }
  MasterRecord record;
  for (int number = 1; number <= count; ++number) {
    if (!ReadMasterRecord(file, record)) {
      // What was listed stays listed, but a short file is not a success.
      std::cout.flush();
      PrintError(given + ": record " + std::to_string(number) + " of " + std::to_string(count) +
                 " cannot be read");
      return kExitFailure;
    }
    std::cout << number << '\t' << int{record.fileNumber()} << '\t' << int{record.recordLength()}
              << '\t' << int{record.fieldCount()} << '\t'
              << (record.isDirectory() ? "dir" : "security") << '\t' << FieldText(record.name())
              << '\t' << FieldText(record.symbol()) << '\n';
  }
  return kExitOk;
}

}  // namespace quotedump
