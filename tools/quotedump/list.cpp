// quotedump list MASTERFILE: every record the header announces, one line each.
#include <iostream>

#include "commands.h"
#include "quote_file.h"

namespace quotedump {

int RunList(Args args) {
  const std::string path(args[0]);
  QuoteFile file;
  if (!file.open(path)) {
    PrintError(path + ": cannot open (missing, unreadable or not a regular file)");
    return kExitFailure;
  }
  std::array<std::uint8_t, kMasterRecordSize> header{};
  if (!file.readExact(header.data(), header.size())) {
    PrintError(path + ": cannot read the header record");
    return kExitFailure;
  }
  const auto count = static_cast<std::int16_t>(header[0] | (header[1] << 8));
  MasterRecord record;
  for (int number = 1; number <= count; ++number) {
    if (!file.readExact(record.bytes.data(), record.bytes.size())) {
      // What was listed stays listed, but a short file is not a success.
      std::cout.flush();
      PrintError(path + ": record " + std::to_string(number) + " of " + std::to_string(count) +
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
