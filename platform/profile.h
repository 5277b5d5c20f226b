#pragma once
// The application's settings file: integers and texts by section and key. Kept free of Qt so
// the document and its tests can stand on any implementation (an INI file, a map in memory).

#include <charconv>
#include <string>
#include <string_view>

namespace tv {

class Profile {
 public:
  virtual ~Profile() = default;

  // An integer stored as decimal text. A missing key, or text that is not a whole decimal
  // number within the range of int (blanks around it allowed), reads as `fallback`.
  virtual int ReadInt(std::string_view section, std::string_view key, int fallback) = 0;
  // The stored text, or `fallback` when the key is missing.
  virtual std::string ReadText(std::string_view section, std::string_view key,
                               std::string_view fallback) = 0;
  // Writes never report failure: a settings file that cannot be written must not stop the
  // program. They return whether the value is known to have reached the file.
  virtual bool WriteInt(std::string_view section, std::string_view key, int value) = 0;
  virtual bool WriteText(std::string_view section, std::string_view key,
                         std::string_view value) = 0;
  // Forgets anything cached so that the next reads see the file as it is now (a hand edit
  // takes effect at the next database open).
  virtual void Refresh() {}
  // The settings file's path as the file system takes it; empty when the settings are not
  // kept in a file.
  virtual std::string FilePath() const { return {}; }
  // For the rest of the session the settings file is neither read nor written (reads give
  // their fallbacks): it has turned out to be a file that must never be touched.
  virtual void Abandon() {}
};

// Parses a whole decimal integer (optional sign, blanks around it allowed). Returns false for
// anything else, including values outside int's range.
inline bool ParseProfileInt(std::string_view text, int& value) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  int parsed = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, parsed);
  if (ec != std::errc() || ptr != end) return false;
  value = parsed;
  return true;
}

}  // namespace tv
