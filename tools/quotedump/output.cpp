#include <charconv>
#include <cstdio>
#include <iostream>

#include "commands.h"

namespace quotedump {

std::string FormatReal(float value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string FieldText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = '?';
  }
  return out;
}

void PrintError(std::string_view message) { std::cerr << "quotedump: " << message << '\n'; }

}  // namespace quotedump
