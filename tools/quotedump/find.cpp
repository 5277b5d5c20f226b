// quotedump find DIR KEY: the security FindSecurity returns, on one line.
#include <bit>
#include <cstring>
#include <iostream>

#include "commands.h"

namespace quotedump {

namespace {

float RealAt(const MasterRecord& record, std::size_t offset) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i)
    bits = (bits << 8) | record.bytes[offset + static_cast<std::size_t>(i)];
  return std::bit_cast<float>(bits);
}

}  // namespace

int RunFind(Args args) {
  MasterRecord record;
  std::string found;
  const ResultCode code = FindSecurity(args[0], args[1], record, found);
  if (code != kSuccess) {
    PrintError(std::to_string(code) + " " + ResultText(code));
    return kExitFailure;
  }
  std::cout << "dir=" << FieldText(found) << "\tfile=" << int{record.fileNumber()}
            << "\treclen=" << int{record.recordLength()} << "\tfields=" << int{record.fieldCount()}
            << "\tname=" << FieldText(record.name()) << "\tsymbol=" << FieldText(record.symbol())
            << "\treal1=" << FormatReal(RealAt(record, 25))
            << "\treal2=" << FormatReal(RealAt(record, 29)) << '\n';
  return kExitOk;
}

}  // namespace quotedump
