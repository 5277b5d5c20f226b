// The value of a scan expression on every bar, a whole column at a time: each node of the
// tree gives one value per bar, and the studies are the studies library's own.
#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

#include "expression.h"
#include "studies.h"

namespace scan {

namespace {

using studies::kUndefined;
using Column = std::vector<double>;

bool Defined(double v) { return !std::isnan(v); }

class Evaluator {
 public:
  explicit Evaluator(const Bars& bars) : m_bars(bars) {}

  Column Of(const Node& node) {
    return std::visit([&](const auto& what) { return On(what); }, node.what);
  }

 private:
  Column On(const Node::Number& number) const { return Column(m_bars.count, number.value); }

  Column On(const Node::FieldOf& f) const { return FieldColumn(f.field); }

  // A field as read, with anything that is not a finite number undefined; a field the
  // security lacks (or one of another length) undefined throughout.
  Column FieldColumn(Field field) const {
    std::span<const double> values;
    switch (field) {
      case Field::Open:
        values = m_bars.open;
        break;
      case Field::High:
        values = m_bars.high;
        break;
      case Field::Low:
        values = m_bars.low;
        break;
      case Field::Close:
        values = m_bars.close;
        break;
      case Field::Volume:
        values = m_bars.volume;
        break;
      case Field::Oi:
        values = m_bars.oi;
        break;
    }
    Column out(m_bars.count, kUndefined);
    if (values.size() != m_bars.count) return out;
    std::transform(values.begin(), values.end(), out.begin(),
                   [](double v) { return std::isfinite(v) ? v : kUndefined; });
    return out;
  }

  Column On(const Node::Operation& operation) {
    Column a = Of(*operation.operands[0]);
    if (operation.op == Op::Negate || operation.op == Op::Not) {
      for (double& v : a)
        if (Defined(v)) v = operation.op == Op::Negate ? -v : (v == 0 ? 1.0 : 0.0);
      return a;
    }
    const Column b = Of(*operation.operands[1]);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = Binary(operation.op, a[i], b[i]);
    return a;
  }

  static double Binary(Op op, double x, double y) {
    if (!Defined(x) || !Defined(y)) return kUndefined;
    switch (op) {
      case Op::Add:
        return Finite(x + y);
      case Op::Subtract:
        return Finite(x - y);
      case Op::Multiply:
        return Finite(x * y);
      case Op::Divide:
        return y == 0 ? kUndefined : Finite(x / y);
      case Op::Less:
        return x < y ? 1 : 0;
      case Op::LessEqual:
        return x <= y ? 1 : 0;
      case Op::Greater:
        return x > y ? 1 : 0;
      case Op::GreaterEqual:
        return x >= y ? 1 : 0;
      case Op::Equal:
        return x == y ? 1 : 0;
      case Op::NotEqual:
        return x != y ? 1 : 0;
      case Op::And:
        return x != 0 && y != 0 ? 1 : 0;
      case Op::Or:
        return x != 0 || y != 0 ? 1 : 0;
      case Op::Negate:
      case Op::Not:
        break;
    }
    return kUndefined;
  }

  // An overflow to infinity is no value a question can be asked of.
  static double Finite(double v) { return std::isfinite(v) ? v : kUndefined; }

  Column On(const Node::Call& call) {
    const auto n = [&](std::size_t i) { return static_cast<int>(call.numbers[i]); };
    switch (call.function) {
      case Function::Sma:
        return studies::Sma(Of(*call.series[0]), n(0));
      case Function::Ema:
        return EmaFromFirstDefined(Of(*call.series[0]), n(0));
      case Function::Rsi:
        return studies::Rsi(Close(), n(0));
      case Function::Macd:
        return studies::Macd(Close(), n(0), n(1), 1).macd;
      case Function::Signal:
        return studies::Macd(Close(), n(0), n(1), n(2)).signal;
      case Function::Upper:
        return studies::Bollinger(Close(), n(0), call.numbers[1]).upper;
      case Function::Lower:
        return studies::Bollinger(Close(), n(0), call.numbers[1]).lower;
      case Function::StochK:
        return Stochastic(n(0), 1).k;
      case Function::StochD:
        return Stochastic(n(0), n(1)).d;
      case Function::Highest:
        return Extreme(Of(*call.series[0]), n(0), true);
      case Function::Lowest:
        return Extreme(Of(*call.series[0]), n(0), false);
      case Function::Ref:
        return Shifted(Of(*call.series[0]), n(0));
      case Function::Change:
        return Change(Of(*call.series[0]), n(0));
      case Function::Cross:
        return Cross(Of(*call.series[0]), Of(*call.series[1]));
      case Function::Abs:
        return Each(Of(*call.series[0]), [](double v) { return std::abs(v); });
      case Function::Min:
        return Pairwise(call, [](double a, double b) { return std::min(a, b); });
      case Function::Max:
        return Pairwise(call, [](double a, double b) { return std::max(a, b); });
    }
    return Column(m_bars.count, kUndefined);
  }

  const Column& Close() {
    if (!m_close) m_close = FieldColumn(Field::Close);
    return *m_close;
  }

  studies::StochasticLines Stochastic(int n, int d) {
    const Column high = FieldColumn(Field::High), low = FieldColumn(Field::Low);
    return studies::Stochastic(high, low, Close(), n, d);
  }

  // An expression may be undefined on its first bars (an average of an average): its average
  // starts from its first defined value.
  static Column EmaFromFirstDefined(const Column& x, int n) {
    Column out(x.size(), kUndefined);
    const auto first = std::find_if(x.begin(), x.end(), Defined);
    const auto from = static_cast<std::size_t>(first - x.begin());
    const Column tail = studies::Ema(std::span(x).subspan(from), n);
    std::copy(tail.begin(), tail.end(), out.begin() + static_cast<std::ptrdiff_t>(from));
    return out;
  }

  // The highest (or lowest) of the last n values, this one included; undefined when any of
  // them is.
  static Column Extreme(const Column& x, int n, bool highest) {
    const auto length = static_cast<std::size_t>(n);
    Column out(x.size(), kUndefined);
    std::size_t undefinedUntil = 0;  // the window is whole from here on
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (!Defined(x[i])) undefinedUntil = i + length;
      if (i + 1 < length || i < undefinedUntil) continue;
      const auto window = std::span(x).subspan(i + 1 - length, length);
      out[i] = highest ? *std::max_element(window.begin(), window.end())
                       : *std::min_element(window.begin(), window.end());
    }
    return out;
  }

  static Column Shifted(const Column& x, int k) {
    const auto shift = std::min(static_cast<std::size_t>(k), x.size());
    Column out(x.size(), kUndefined);
    std::copy(x.begin(), x.end() - static_cast<std::ptrdiff_t>(shift),
              out.begin() + static_cast<std::ptrdiff_t>(shift));
    return out;
  }

  static Column Change(const Column& x, int n) {
    const Column before = Shifted(x, n);
    Column out(x.size(), kUndefined);
    for (std::size_t i = 0; i < x.size(); ++i)
      out[i] =
          Binary(Op::Multiply, 100, Binary(Op::Subtract, Binary(Op::Divide, x[i], before[i]), 1));
    return out;
  }

  // 1 on the bar where a goes from at or below b to above it, else 0.
  static Column Cross(const Column& a, const Column& b) {
    Column out(a.size(), kUndefined);
    for (std::size_t i = 1; i < a.size(); ++i) {
      if (!Defined(a[i]) || !Defined(b[i]) || !Defined(a[i - 1]) || !Defined(b[i - 1])) continue;
      out[i] = a[i - 1] <= b[i - 1] && a[i] > b[i] ? 1 : 0;
    }
    return out;
  }

  template <typename F>
  static Column Each(Column x, F f) {
    for (double& v : x)
      if (Defined(v)) v = f(v);
    return x;
  }

  template <typename F>
  Column Pairwise(const Node::Call& call, F f) {
    Column a = Of(*call.series[0]);
    const Column b = Of(*call.series[1]);
    for (std::size_t i = 0; i < a.size(); ++i)
      a[i] = Defined(a[i]) && Defined(b[i]) ? f(a[i], b[i]) : kUndefined;
    return a;
  }

  const Bars& m_bars;
  std::optional<Column> m_close;
};

}  // namespace

std::vector<double> Evaluate(const Expression& expression, const Bars& bars) {
  if (!expression.root) return std::vector<double>(bars.count, kUndefined);
  return Evaluator(bars).Of(*expression.root);
}

}  // namespace scan
