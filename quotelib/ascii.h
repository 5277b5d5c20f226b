#pragma once
// Case folding of the quote files' names and keys. They come from DOS: only the letters A-Z
// and a-z pair up; every other byte, a code page's accented letters among them, stands for
// itself whatever the locale.

#include <algorithm>
#include <string>
#include <string_view>

constexpr char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualFoldedAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}

constexpr bool EndsWithFoldedAscii(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         EqualFoldedAscii(text.substr(text.size() - tail.size()), tail);
}

inline std::string FoldedAscii(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), FoldAscii);
  return out;
}
