#pragma once
// A scan's question about a security, as written: `close > sma(close, 200) and rsi(14) < 30`.
// Parse turns the text into a tree or says, with the column, where it went wrong; Evaluate
// gives the expression's value on every bar of a security.
//
// The language: numbers; the fields open high low close volume oi; + - * / and unary minus;
// comparisons < <= > >= = != (1 or 0); and, or, not; parentheses; and the functions
// sma(x,n) ema(x,n) rsi(n) macd(f,s) signal(f,s,g) upper(n,k) lower(n,k) stoch_k(n)
// stoch_d(n,d) highest(x,n) lowest(x,n) ref(x,k) change(x,n) cross(a,b) abs(x) min(a,b)
// max(a,b). Names are not case-sensitive. Lengths are whole numbers from 1 written as
// numbers; a band width is a number above 0.
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace scan {

enum class Field { Open, High, Low, Close, Volume, Oi };

enum class Op {
  Add,
  Subtract,
  Multiply,
  Divide,
  Negate,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  Equal,
  NotEqual,
  And,
  Or,
  Not,
};

enum class Function {
  Sma,
  Ema,
  Rsi,
  Macd,
  Signal,
  Upper,
  Lower,
  StochK,
  StochD,
  Highest,
  Lowest,
  Ref,
  Change,
  Cross,
  Abs,
  Min,
  Max,
};

struct Node;
using NodePtr = std::unique_ptr<const Node>;

struct Node {
  struct Number {
    double value;
  };
  struct FieldOf {
    Field field;
  };
  struct Operation {
    Op op;
    std::vector<NodePtr> operands;  // one for Negate and Not, else two
  };
  struct Call {
    Function function;
    std::vector<NodePtr> series;  // the arguments that are expressions over the bars
    std::vector<double> numbers;  // the lengths and widths, in the order written
  };
  std::variant<Number, FieldOf, Operation, Call> what;
};

struct ParseError {
  int column = 0;       // of the text, from 1
  std::string message;  // "sma takes 2 arguments"
  // "column 14: sma takes 2 arguments"
  std::string Text() const { return "column " + std::to_string(column) + ": " + message; }
};

struct Expression {
  NodePtr root;
  std::string text;
};

std::variant<Expression, ParseError> Parse(std::string_view text);

// A security's bars as double columns of one length; a field the security lacks is an empty
// span, and reads as undefined on every bar.
struct Bars {
  std::size_t count = 0;
  std::span<const double> open, high, low, close, volume, oi;
};

// The expression's value on every bar: NaN where it is undefined (too few bars, a missing
// field, a value that is not a finite number, division by zero).
std::vector<double> Evaluate(const Expression& expression, const Bars& bars);

// An undefined result does not match; any other non-zero value does.
inline bool Matches(double value) { return value == value && value != 0.0; }

}  // namespace scan
