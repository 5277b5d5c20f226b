#pragma once
// The sum of a sliding window of values, kept as values enter and leave.
//
// Compensated (Neumaier) so that one huge value passing through the window does not wipe out
// the small ones after it, and counting the values that are not finite numbers instead of
// adding them, so that the sum is whole again once they have left.
#include <cmath>
#include <cstddef>
#include <limits>

namespace studies {

class WindowSum {
 public:
  void Add(double value) {
    if (std::isfinite(value))
      Accumulate(value);
    else
      ++m_notFinite;
  }
  void Remove(double value) {
    if (std::isfinite(value))
      Accumulate(-value);
    else
      --m_notFinite;
  }
  // The mean of n values, or NaN while a value that is not a number is in the window.
  double Mean(std::size_t n) const {
    if (m_notFinite != 0) return std::numeric_limits<double>::quiet_NaN();
    return (m_sum + m_compensation) / static_cast<double>(n);
  }

 private:
  void Accumulate(double value) {
    const double sum = m_sum + value;
    if (std::fabs(m_sum) >= std::fabs(value))
      m_compensation += (m_sum - sum) + value;
    else
      m_compensation += (value - sum) + m_sum;
    m_sum = sum;
  }

  double m_sum = 0.0;
  double m_compensation = 0.0;
  std::size_t m_notFinite = 0;
};

}  // namespace studies
