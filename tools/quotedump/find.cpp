// quotedump find DIR KEY: the security FindSecurity returns, on one line.
#include <bit>
#include <cstring>
#include <iostream>

#include "commands.h"
#include "extended.h"

namespace quotedump {

namespace {

float RealAt(const MasterRecord& record, std::size_t offset) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i)
    bits = (bits << 8) | record.bytes[offset + static_cast<std::size_t>(i)];
  return std::bit_cast<float>(bits);
}

}  // namespace

int RunFind(Args args, bool extended) {
  IndexedSecurity entry;
  std::string found;
  ResultCode code = kSuccess;
  if (extended) {
    code = FindIndexedSecurity(args[0], args[1], entry, found);
  } else {
    code = FindSecurity(args[0], args[1], entry.record, found);
    const MasterRecord& r = entry.record;
    entry.fileNumber = r.fileNumber();
    entry.recordLength = r.recordLength();
    entry.fieldCount = r.fieldCount();
    entry.name = r.name();
  }
  if (code != kSuccess) {
    PrintError(std::to_string(code) + " " + ResultText(code));
    return kExitFailure;
  }
  const MasterRecord& record = entry.record;
  std::cout << "dir=" << FieldText(found) << "\tfile=" << entry.fileNumber
            << "\treclen=" << entry.recordLength << "\tfields=" << entry.fieldCount
            << "\tname=" << FieldText(entry.name) << "\tsymbol=" << FieldText(record.symbol())
            << "\treal1=" << FormatReal(RealAt(record, 25))
            << "\treal2=" << FormatReal(RealAt(record, 29)) << '\n';
  return kExitOk;
}

}  // namespace quotedump
