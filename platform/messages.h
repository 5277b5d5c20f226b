#pragma once
// Message boxes, shown through one service so that tests can record them and a headless run
// can print them. Every box is captioned with the application's name and has one OK button;
// showing one returns after the user's OK.

#include <cstdio>
#include <string>
#include <string_view>

namespace tv {

inline constexpr std::string_view kAppCaption = "Tickvane";

enum class MessageIcon { None, Stop };

class MessageService {
 public:
  virtual ~MessageService() = default;
  virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
};

// For runs without a display: every message goes to stderr as "Tickvane: <text>".
class StderrMessageService final : public MessageService {
 public:
  void ShowMessage(std::string_view text, MessageIcon) override {
    std::string line(kAppCaption);
    line += ": ";
    line += text;
    line += '\n';
    std::fputs(line.c_str(), stderr);
  }
};

}  // namespace tv
