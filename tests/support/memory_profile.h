#pragma once
// A settings file in memory for tests: keeps every value as text, as the INI file does, and
// records the order of reads and writes.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "profile.h"

namespace fixture {

class MemoryProfile final : public tv::Profile {
 public:
  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::string> reads;   // "Section/Key"
  std::vector<std::string> writes;  // "Section/Key=value"

  void Set(const std::string& section, const std::string& key, const std::string& value) {
    values[{section, key}] = value;
  }
  const std::string* Get(const std::string& section, const std::string& key) const {
    auto it = values.find({section, key});
    return it == values.end() ? nullptr : &it->second;
  }

  int ReadInt(std::string_view section, std::string_view key, int fallback) override {
    const std::string* text = Find(section, key);
    int value = fallback;
    if (text == nullptr || !tv::ParseProfileInt(*text, value)) return fallback;
    return value;
  }
  std::string ReadText(std::string_view section, std::string_view key,
                       std::string_view fallback) override {
    const std::string* text = Find(section, key);
    return text ? *text : std::string(fallback);
  }
  bool WriteInt(std::string_view section, std::string_view key, int value) override {
    return WriteText(section, key, std::to_string(value));
  }
  bool WriteText(std::string_view section, std::string_view key, std::string_view value) override {
    writes.push_back(std::string(section) + "/" + std::string(key) + "=" + std::string(value));
    values[{std::string(section), std::string(key)}] = std::string(value);
    return true;
  }

 private:
  const std::string* Find(std::string_view section, std::string_view key) {
    reads.push_back(std::string(section) + "/" + std::string(key));
    return Get(std::string(section), std::string(key));
  }
};

}  // namespace fixture
