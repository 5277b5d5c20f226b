#pragma once
// Millisecond tick count, a service so that timing (the splash's lifetime) can be tested.

#include <chrono>
#include <cstdint>

namespace tv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; wraps around like any 32-bit tick count.
  virtual std::uint32_t TickCount() const = 0;
};

class SteadyClock final : public Clock {
 public:
  std::uint32_t TickCount() const override {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
  }
};

// A clock that moves only when told to.
class ManualClock final : public Clock {
 public:
  std::uint32_t TickCount() const override { return now_; }
  void Advance(std::uint32_t ms) { now_ += ms; }
  void Set(std::uint32_t ms) { now_ = ms; }

 private:
  std::uint32_t now_ = 0;
};

}  // namespace tv
