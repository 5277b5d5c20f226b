// FindSecurity over a tree of fuzzed MASTER files: any bytes, any key.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "master.h"
#include "quote_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fixture::TempDir tmp;
  static const bool made = [] {
    for (const char* dir : fuzz::kTreeDirs) fuzz::fs::create_directories(tmp.path() / dir);
    return true;
  }();
  (void)made;

  const auto parts =
      fuzz::Split(std::string_view(reinterpret_cast<const char*>(data), size), fuzz::kTreeParts);
  for (std::size_t k = 0; k < 4; ++k) {
    const auto master = tmp.path() / fuzz::kTreeDirs[k] / "MASTER";
    if (k + 1 < parts.size()) {
      fuzz::WriteFile(master, parts[k + 1]);
    } else {
      std::error_code ec;
      fuzz::fs::remove(master, ec);
    }
  }

  MasterRecord record;
  std::string found;
  const ResultCode rc = FindSecurity(tmp.dir(), parts[0], record, found);
  if (rc != kSuccess && rc != kFileNotFound && rc != kFileRead) std::abort();
  // A match is always in the searched tree.
  if (rc == kSuccess && found.rfind(tmp.dir(), 0) != 0) std::abort();
  return 0;
}
