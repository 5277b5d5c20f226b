#include "result_code.h"

#include <array>

namespace {

// Indexed by the negated code. The texts are what callers have always compared against and
// printed, misspelling included, so they stay as they are.
constexpr std::array<const char*, 16> kResultTexts = {"Sucessfull",
                                                      "Invalid Parm",
                                                      "File Open",
                                                      "Malloc",
                                                      "File Read",
                                                      "File Write",
                                                      "File Seek",
                                                      "File Exists",
                                                      "File Not Found",
                                                      "Record Not Found",
                                                      "No Graphics Found",
                                                      "No Fonts Found",
                                                      "Charts Uninitialized",
                                                      "Max Lines Exceeded",
                                                      "Max Grids Exceeded",
                                                      "Unknown"};

}  // namespace

const char* ResultText(ResultCode code) {
  const int index = -static_cast<int>(code);
  if (index < 0 || index >= static_cast<int>(kResultTexts.size())) return kResultTexts.back();
  return kResultTexts[static_cast<std::size_t>(index)];
}
