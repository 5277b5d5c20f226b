// The scan language's text into a tree, by recursive descent. Every refusal names the column
// of the token where the text stopped making sense.
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

#include "expression.h"

namespace scan {

namespace {

// The deepest nesting accepted: far beyond any question worth asking, and well inside the
// stack the descent uses.
constexpr int kMaxDepth = 800;  // about 100 parentheses: eight levels of descent each
// The most operators and calls: a chain such as 1+1+...+1 nests no parentheses, but its tree
// is as deep as it is long, and its evaluation holds a column of values per level.
constexpr int kMaxOperations = 500;
// The longest window: more bars than any data file holds.
constexpr double kMaxLength = 1'000'000;

struct Token {
  enum Kind { End, Number, Name, Symbol } kind = End;
  std::string text;  // a name in lower case, or the symbol
  double value = 0;
  int column = 0;
};

// Arguments of a function, in order: x an expression over the bars, n a length (a whole
// number from 1), k an offset (a whole number from 0), w a band width (above 0).
struct Signature {
  std::string_view name;
  Function function;
  std::string_view arguments;
};

constexpr std::array kFunctions = {
    Signature{"sma", Function::Sma, "xn"},        Signature{"ema", Function::Ema, "xn"},
    Signature{"rsi", Function::Rsi, "n"},         Signature{"macd", Function::Macd, "nn"},
    Signature{"signal", Function::Signal, "nnn"}, Signature{"upper", Function::Upper, "nw"},
    Signature{"lower", Function::Lower, "nw"},    Signature{"stoch_k", Function::StochK, "n"},
    Signature{"stoch_d", Function::StochD, "nn"}, Signature{"highest", Function::Highest, "xn"},
    Signature{"lowest", Function::Lowest, "xn"},  Signature{"ref", Function::Ref, "xk"},
    Signature{"change", Function::Change, "xn"},  Signature{"cross", Function::Cross, "xx"},
    Signature{"abs", Function::Abs, "x"},         Signature{"min", Function::Min, "xx"},
    Signature{"max", Function::Max, "xx"},
};

constexpr std::array<std::pair<std::string_view, Field>, 6> kFields = {{
    {"open", Field::Open},
    {"high", Field::High},
    {"low", Field::Low},
    {"close", Field::Close},
    {"volume", Field::Volume},
    {"oi", Field::Oi},
}};

struct Failure {
  ParseError error;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : m_text(text) { Next(); }

  NodePtr Whole() {
    NodePtr root = Or(0);
    if (m_token.kind != Token::End) Fail(m_token.column, "unexpected " + Shown(m_token));
    return root;
  }

 private:
  [[noreturn]] static void Fail(int column, std::string message) {
    throw Failure{{column, std::move(message)}};
  }

  static std::string Shown(const Token& t) {
    return t.kind == Token::End ? std::string("end of the expression") : "'" + t.text + "'";
  }

  void Next() {
    while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at]))) ++m_at;
    m_token = Token{};
    m_token.column = static_cast<int>(m_at) + 1;
    if (m_at == m_text.size()) return;
    const char c = m_text[m_at];
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') return ReadNumber();
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') return ReadName();
    static constexpr std::array<std::string_view, 13> kSymbols = {
        "<=", ">=", "!=", "<", ">", "=", "+", "-", "*", "/", "(", ")", ","};
    for (std::string_view symbol : kSymbols) {
      if (m_text.substr(m_at).starts_with(symbol)) {
        m_token.kind = Token::Symbol;
        m_token.text = symbol;
        m_at += symbol.size();
        return;
      }
    }
    Fail(m_token.column, "unexpected '" + std::string(1, c) + "'");
  }

  void ReadNumber() {
    const char* begin = m_text.data() + m_at;
    const char* end = m_text.data() + m_text.size();
    double value = 0;
    const auto [ptr, ec] = std::from_chars(
        begin, end, value, std::chars_format::fixed | std::chars_format::scientific);
    if (ec != std::errc() || !std::isfinite(value) ||
        (ptr < end && (std::isalnum(static_cast<unsigned char>(*ptr)) || *ptr == '.')))
      Fail(m_token.column, "not a number: '" + std::string(begin, ptr < end ? ptr + 1 : ptr) + "'");
    m_token.kind = Token::Number;
    m_token.text.assign(begin, ptr);
    m_token.value = value;
    m_at += static_cast<std::size_t>(ptr - begin);
  }

  void ReadName() {
    const std::size_t start = m_at;
    while (m_at < m_text.size() &&
           (std::isalnum(static_cast<unsigned char>(m_text[m_at])) || m_text[m_at] == '_'))
      ++m_at;
    m_token.kind = Token::Name;
    for (std::size_t i = start; i < m_at; ++i)
      m_token.text += static_cast<char>(std::tolower(static_cast<unsigned char>(m_text[i])));
  }

  bool IsSymbol(std::string_view s) const {
    return m_token.kind == Token::Symbol && m_token.text == s;
  }
  bool IsName(std::string_view s) const { return m_token.kind == Token::Name && m_token.text == s; }

  void Expect(std::string_view symbol) {
    if (!IsSymbol(symbol))
      Fail(m_token.column, "expected '" + std::string(symbol) + "' instead of " + Shown(m_token));
    Next();
  }

  NodePtr Make(Op op, std::vector<NodePtr> operands) {
    Count();
    return std::make_unique<const Node>(Node{Node::Operation{op, std::move(operands)}});
  }

  void Count() {
    if (++m_operations > kMaxOperations) Fail(m_token.column, "the expression is too long");
  }

  void Enter(int depth) const {
    if (depth > kMaxDepth) Fail(m_token.column, "the expression is nested too deeply");
  }

  NodePtr Or(int depth) {
    Enter(depth);
    NodePtr left = And(depth + 1);
    while (IsName("or")) {
      Next();
      std::vector<NodePtr> operands;
      operands.push_back(std::move(left));
      operands.push_back(And(depth + 1));
      left = Make(Op::Or, std::move(operands));
    }
    return left;
  }

  NodePtr And(int depth) {
    NodePtr left = Not(depth + 1);
    while (IsName("and")) {
      Next();
      std::vector<NodePtr> operands;
      operands.push_back(std::move(left));
      operands.push_back(Not(depth + 1));
      left = Make(Op::And, std::move(operands));
    }
    return left;
  }

  NodePtr Not(int depth) {
    Enter(depth);
    if (!IsName("not")) return Comparison(depth + 1);
    Next();
    std::vector<NodePtr> operands;
    operands.push_back(Not(depth + 1));
    return Make(Op::Not, std::move(operands));
  }

  // One comparison at most: `a < b < c` asks nothing a reader could be sure of.
  NodePtr Comparison(int depth) {
    NodePtr left = Sum(depth + 1);
    static constexpr std::array<std::pair<std::string_view, Op>, 6> kComparisons = {{
        {"<", Op::Less},
        {"<=", Op::LessEqual},
        {">", Op::Greater},
        {">=", Op::GreaterEqual},
        {"=", Op::Equal},
        {"!=", Op::NotEqual},
    }};
    for (const auto& [symbol, op] : kComparisons) {
      if (!IsSymbol(symbol)) continue;
      Next();
      std::vector<NodePtr> operands;
      operands.push_back(std::move(left));
      operands.push_back(Sum(depth + 1));
      return Make(op, std::move(operands));
    }
    return left;
  }

  NodePtr Sum(int depth) {
    NodePtr left = Product(depth + 1);
    while (IsSymbol("+") || IsSymbol("-")) {
      const Op op = IsSymbol("+") ? Op::Add : Op::Subtract;
      Next();
      std::vector<NodePtr> operands;
      operands.push_back(std::move(left));
      operands.push_back(Product(depth + 1));
      left = Make(op, std::move(operands));
    }
    return left;
  }

  NodePtr Product(int depth) {
    NodePtr left = Unary(depth + 1);
    while (IsSymbol("*") || IsSymbol("/")) {
      const Op op = IsSymbol("*") ? Op::Multiply : Op::Divide;
      Next();
      std::vector<NodePtr> operands;
      operands.push_back(std::move(left));
      operands.push_back(Unary(depth + 1));
      left = Make(op, std::move(operands));
    }
    return left;
  }

  NodePtr Unary(int depth) {
    Enter(depth);
    if (!IsSymbol("-")) return Primary(depth + 1);
    Next();
    std::vector<NodePtr> operands;
    operands.push_back(Unary(depth + 1));
    return Make(Op::Negate, std::move(operands));
  }

  NodePtr Primary(int depth) {
    Enter(depth);
    if (m_token.kind == Token::Number) {
      const double value = m_token.value;
      Next();
      return std::make_unique<const Node>(Node{Node::Number{value}});
    }
    if (IsSymbol("(")) {
      Next();
      NodePtr inner = Or(depth + 1);
      Expect(")");
      return inner;
    }
    if (m_token.kind != Token::Name) Fail(m_token.column, "unexpected " + Shown(m_token));
    const Token name = m_token;
    Next();
    for (const auto& [word, field] : kFields)
      if (name.text == word) return std::make_unique<const Node>(Node{Node::FieldOf{field}});
    const auto signature = std::find_if(kFunctions.begin(), kFunctions.end(),
                                        [&](const Signature& s) { return s.name == name.text; });
    if (signature == kFunctions.end()) Fail(name.column, "unknown name '" + name.text + "'");
    return CallOf(*signature, name.column, depth);
  }

  NodePtr CallOf(const Signature& signature, int column, int depth) {
    const std::string name(signature.name);
    const std::string count = std::to_string(signature.arguments.size()) +
                              (signature.arguments.size() == 1 ? " argument" : " arguments");
    if (!IsSymbol("(")) Fail(column, name + " takes " + count + " in parentheses");
    Next();
    struct Argument {
      NodePtr node;
      int column;
    };
    std::vector<Argument> arguments;
    if (!IsSymbol(")")) {
      while (true) {
        const int at = m_token.column;
        arguments.push_back({Or(depth + 1), at});
        if (!IsSymbol(",")) break;
        Next();
      }
    }
    Expect(")");
    if (arguments.size() != signature.arguments.size()) Fail(column, name + " takes " + count);
    Count();
    Node::Call call{signature.function, {}, {}};
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      const char kind = signature.arguments[i];
      if (kind == 'x') {
        call.series.push_back(std::move(arguments[i].node));
        continue;
      }
      call.numbers.push_back(Constant(*arguments[i].node, kind, name, arguments[i].column));
    }
    return std::make_unique<const Node>(Node{std::move(call)});
  }

  static double Constant(const Node& node, char kind, const std::string& name, int column) {
    const auto* number = std::get_if<Node::Number>(&node.what);
    const double v = number != nullptr ? number->value : std::nan("");
    if (kind == 'w') {
      if (!(v > 0)) Fail(column, "the band width of " + name + " must be a number above 0");
      return v;
    }
    const double least = kind == 'k' ? 0 : 1;
    const char* what = kind == 'k' ? "the offset of " : "the length of ";
    if (!(v >= least) || v != std::floor(v))
      Fail(column,
           what + name + " must be a whole number of at least " + (kind == 'k' ? "0" : "1"));
    if (v > kMaxLength) Fail(column, what + name + " must be at most 1000000");
    return v;
  }

  std::string_view m_text;
  std::size_t m_at = 0;
  Token m_token;
  int m_operations = 0;
};

}  // namespace

std::variant<Expression, ParseError> Parse(std::string_view text) {
  try {
    Parser parser(text);
    NodePtr root = parser.Whole();
    return Expression{std::move(root), std::string(text)};
  } catch (const Failure& failure) {
    return failure.error;
  }
}

}  // namespace scan
