#include "dsp/evaluator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace kr::dsp {

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A run of digits and points read as a decimal real: the longest leading
// "digits[.digits]" (so 1.2.3 reads as 1.2, and a lone point as 0).
double ReadNumber(std::string_view run) {
  double value = 0.0;
  const auto [end, ec] = std::from_chars(run.data(), run.data() + run.size(), value, std::chars_format::fixed);
  if (ec == std::errc::result_out_of_range) {
    // Too large (a non-zero digit before the point) or too small.
    for (char c : run) {
      if (c == '.') return 0.0;
      if (c != '0') return HUGE_VAL;
    }
    return 0.0;
  }
  return ec == std::errc() ? value : 0.0;
}

struct Function {
  std::string_view name;
  int arity;
  double (*call)(const double* a);
};

constexpr Function kFunctions[] = {
    {"sin", 1, [](const double* a) { return std::sin(a[0]); }},
    {"cos", 1, [](const double* a) { return std::cos(a[0]); }},
    {"tan", 1, [](const double* a) { return std::tan(a[0]); }},
    {"asin", 1, [](const double* a) { return std::asin(a[0]); }},
    {"acos", 1, [](const double* a) { return std::acos(a[0]); }},
    {"atan", 1, [](const double* a) { return std::atan(a[0]); }},
    {"sinh", 1, [](const double* a) { return std::sinh(a[0]); }},
    {"cosh", 1, [](const double* a) { return std::cosh(a[0]); }},
    {"tanh", 1, [](const double* a) { return std::tanh(a[0]); }},
    {"exp", 1, [](const double* a) { return std::exp(a[0]); }},
    {"log", 1, [](const double* a) { return std::log(a[0]); }},
    {"log10", 1, [](const double* a) { return std::log10(a[0]); }},
    {"sqrt", 1, [](const double* a) { return std::sqrt(a[0]); }},
    {"floor", 1, [](const double* a) { return std::floor(a[0]); }},
    {"ceil", 1, [](const double* a) { return std::ceil(a[0]); }},
    {"abs", 1, [](const double* a) { return std::fabs(a[0]); }},
    {"hypot", 2, [](const double* a) { return std::hypot(a[0], a[1]); }},
    {"deg", 1, [](const double* a) { return a[0] * 57.29577951308232; }},
    {"rad", 1, [](const double* a) { return a[0] * 0.017453292519943295; }},
    {"sgn", 1, [](const double* a) { return a[0] >= 0.0 ? 1.0 : -1.0; }},
    {"min", 2, [](const double* a) { return a[0] < a[1] ? a[0] : a[1]; }},
    {"max", 2, [](const double* a) { return a[0] > a[1] ? a[0] : a[1]; }},
};

constexpr int kMaxArguments = 3;

// Names are kept to their first 15 characters.
std::string_view Kept(std::string_view name) { return name.substr(0, Evaluator::kMaxNameLength); }

}  // namespace

std::string_view Evaluator::ErrorText(Error error) {
  switch (error) {
    case kNone: return "";
    case kSyntax: return "Syntax error";
    case kUnbalanced: return "Unbalanced parenthesis";
    case kDivisionByZero: return "Division by zero";
    case kUnknownVariable: return "Unknown variable";
    case kTooManyVariables: return "Maximum variables exceeded";
    case kUnknownFunction: return "Unrecognised funtion";
    case kWrongArgumentCount: return "Wrong number of arguments to funtion";
    case kMissingArgument: return "Missing an argument";
    case kEmpty: return "Empty expression";
    case kTooDeep: return "Formula nested too deeply";
  }
  return "Unknown error";
}

std::string Evaluator::Describe(const Result& result) {
  if (result.ok()) return {};
  std::string text(ErrorText(result.error));
  text += " at character " + std::to_string(result.position + 1);
  if (!result.token.empty()) text += ": '" + std::string(result.token) + "'";
  return text;
}

Evaluator::Variable* Evaluator::Find(std::string_view name) {
  name = Kept(name);
  for (Variable& v : variables_)
    if (v.name[0] != '\0' && name == std::string_view(v.name)) return &v;
  return nullptr;
}

const Evaluator::Variable* Evaluator::Find(std::string_view name) const {
  return const_cast<Evaluator*>(this)->Find(name);
}

bool Evaluator::SetVariable(std::string_view name, double value) {
  char lowered[kMaxNameLength + 1] = {};
  name = Kept(name);
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) lowered[i] = Lower(name[i]);
  const std::string_view key(lowered, name.size());
  if (Variable* v = Find(key)) {
    v->value = value;
    return true;
  }
  for (Variable& v : variables_) {
    if (v.name[0] != '\0') continue;
    std::copy(key.begin(), key.end(), v.name);
    v.name[key.size()] = '\0';
    v.value = value;
    return true;
  }
  return false;
}

void Evaluator::RemoveVariable(std::string_view name) {
  char lowered[kMaxNameLength + 1] = {};
  name = Kept(name);
  for (std::size_t i = 0; i < name.size(); ++i) lowered[i] = Lower(name[i]);
  if (Variable* v = Find(std::string_view(lowered, name.size()))) *v = Variable{};
}

int Evaluator::VariableCount() const {
  int count = 0;
  for (const Variable& v : variables_) count += v.name[0] != '\0' ? 1 : 0;
  return count;
}

double Evaluator::Evaluate(std::string_view text, double x) {
  SetVariable("x", x);
  return Run(text).value;
}

Evaluator::Result Evaluator::Run(std::string_view text) {
  length_ = static_cast<int>(std::min<std::size_t>(text.size(), kMaxTextLength));
  for (int i = 0; i < length_; ++i) text_[static_cast<std::size_t>(i)] = Lower(text[static_cast<std::size_t>(i)]);
  position_ = 0;
  depth_ = 0;
  error_ = kNone;
  errorPosition_ = 0;
  errorTokenLength_ = 0;
  Result result;
  if (NextToken()) {
    if (kind_ == kEnd) {
      FailHere(kEmpty);
    } else {
      Statement(result.value);
    }
  }
  result.error = error_;
  result.position = errorPosition_;
  result.token = std::string_view(errorToken_.data(), static_cast<std::size_t>(errorTokenLength_));
  return result;
}

bool Evaluator::Fail(Error error, int position, std::string_view token) {
  if (error_ != kNone) return false;
  error_ = error;
  errorPosition_ = position;
  errorTokenLength_ = static_cast<int>(std::min(token.size(), errorToken_.size()));
  std::copy_n(token.begin(), errorTokenLength_, errorToken_.begin());
  return false;
}

bool Evaluator::NextToken() {
  while (position_ < length_ && (text_[position_] == ' ' || text_[position_] == '\t')) ++position_;
  tokenStart_ = position_;
  tokenLength_ = 0;
  if (position_ >= length_) {
    kind_ = kEnd;
    return true;
  }
  const char c = text_[static_cast<std::size_t>(position_)];
  const auto take = [this](auto accepts) {
    while (position_ < length_ && accepts(text_[static_cast<std::size_t>(position_)])) ++position_;
    tokenLength_ = position_ - tokenStart_;
    std::copy_n(text_.begin() + tokenStart_, tokenLength_, token_.begin());
  };
  if (IsLetter(c)) {
    take([](char d) { return IsLetter(d) || IsDigit(d); });
    kind_ = kName;
    return true;
  }
  if (IsDigit(c) || c == '.') {
    take([](char d) { return IsDigit(d) || d == '.'; });
    kind_ = kNumber;
    number_ = ReadNumber({token_.data(), static_cast<std::size_t>(tokenLength_)});
    return true;
  }
  ++position_;
  tokenLength_ = 1;
  token_[0] = c;
  switch (c) {
    case '+': case '-': case '*': case '/': case '%': case '^': case '(': case ')': case ',': case '=':
      kind_ = kOperator;
      return true;
    default:
      kind_ = kOperator;
      return FailHere(kSyntax);
  }
}

bool Evaluator::Statement(double& result) {
  if (kind_ == kName) {
    int look = position_;
    while (look < length_ && (text_[look] == ' ' || text_[look] == '\t')) ++look;
    if (look < length_ && text_[look] == '=') {
      char name[kMaxNameLength + 1] = {};
      const int nameStart = tokenStart_;
      const std::string_view kept = Kept({token_.data(), static_cast<std::size_t>(tokenLength_)});
      std::copy(kept.begin(), kept.end(), name);
      const std::string_view key(name, kept.size());
      if (!NextToken() || !NextToken()) return false;  // the name, then "="
      if (kind_ == kEnd) {
        RemoveVariable(key);
        result = 0.0;
        return true;
      }
      if (!Expression(result)) return false;
      if (!SetVariable(key, result)) return Fail(kTooManyVariables, nameStart, key);
      return true;
    }
  }
  return Expression(result);
}

bool Evaluator::Expression(double& result) {
  if (!Term(result)) return false;
  while (IsOperator('+') || IsOperator('-')) {
    const bool add = token_[0] == '+';
    if (!NextToken()) return false;
    double right = 0.0;
    if (!Term(right)) return false;
    result = add ? result + right : result - right;
  }
  return true;
}

bool Evaluator::Term(double& result) {
  if (!Factor(result)) return false;
  while (IsOperator('*') || IsOperator('/') || IsOperator('%')) {
    const char op = token_[0];
    if (!NextToken()) return false;
    const int rightStart = tokenStart_;
    const int rightTokenLength = tokenLength_;
    char rightToken[kMaxTextLength + 1];
    std::copy_n(token_.begin(), rightTokenLength, rightToken);
    double right = 0.0;
    if (!Factor(right)) return false;
    if (op == '*') {
      result *= right;
    } else if (right == 0.0) {
      return Fail(kDivisionByZero, rightStart, {rightToken, static_cast<std::size_t>(rightTokenLength)});
    } else {
      result = op == '/' ? result / right : std::fmod(result, right);
    }
  }
  return true;
}

bool Evaluator::Factor(double& result) {
  bool negative = false;
  if (IsOperator('+') || IsOperator('-')) {
    negative = token_[0] == '-';
    if (!NextToken()) return false;
  }
  if (!Primary(result)) return false;
  if (negative) result = -result;
  if (!IsOperator('^')) return true;
  if (!NextToken()) return false;
  bool negativePower = false;
  if (IsOperator('+') || IsOperator('-')) {
    negativePower = token_[0] == '-';
    if (!NextToken()) return false;
  }
  double power = 0.0;
  if (!Primary(power)) return false;
  result = std::pow(result, negativePower ? -power : power);
  return true;
}

bool Evaluator::Primary(double& result) {
  if (kind_ == kNumber) {
    result = number_;
    return NextToken();
  }
  if (kind_ == kName) {
    char name[kMaxNameLength + 1] = {};
    const int nameStart = tokenStart_;
    const std::string_view kept = Kept({token_.data(), static_cast<std::size_t>(tokenLength_)});
    std::copy(kept.begin(), kept.end(), name);
    const std::string_view key(name, kept.size());
    if (!NextToken()) return false;
    return IsOperator('(') ? Call(key, nameStart, result) : NameValue(key, nameStart, result);
  }
  if (!IsOperator('(')) return FailHere(kSyntax);
  if (depth_ >= kMaxDepth) return FailHere(kTooDeep);
  ++depth_;
  const int open = tokenStart_;
  if (!NextToken()) return false;
  if (IsOperator(')')) return FailHere(kMissingArgument);
  if (!Expression(result)) return false;
  if (!IsOperator(')')) return Fail(kUnbalanced, open, "(");
  --depth_;
  return NextToken();
}

bool Evaluator::Call(std::string_view name, int nameStart, double& result) {
  const Function* function = nullptr;
  for (const Function& f : kFunctions)
    if (f.name == name) function = &f;
  if (function == nullptr) return Fail(kUnknownFunction, nameStart, name);
  if (depth_ >= kMaxDepth) return FailHere(kTooDeep);
  ++depth_;
  const int open = tokenStart_;
  if (!NextToken()) return false;  // the "("
  double arguments[kMaxArguments] = {};
  int count = 0;
  while (true) {
    if (IsOperator(',') || IsOperator(')')) return FailHere(kMissingArgument);
    if (count == kMaxArguments) return Fail(kWrongArgumentCount, nameStart, name);
    if (!Statement(arguments[count])) return false;
    ++count;
    if (!IsOperator(',')) break;
    if (!NextToken()) return false;
  }
  if (!IsOperator(')')) return Fail(kUnbalanced, open, "(");
  if (count != function->arity) return Fail(kWrongArgumentCount, nameStart, name);
  --depth_;
  result = function->call(arguments);
  return NextToken();
}

bool Evaluator::NameValue(std::string_view name, int nameStart, double& result) {
  if (name.front() == '_') {
    // An environment variable, read as a real number.
    char key[kMaxNameLength + 1] = {};
    std::copy(name.begin() + 1, name.end(), key);
    const char* value = std::getenv(key);
    if (value == nullptr) return Fail(kUnknownVariable, nameStart, name);
    result = std::strtod(value, nullptr);
    return true;
  }
  if (const Variable* v = Find(name)) {
    result = v->value;
    return true;
  }
  if (name == "pi") {
    result = std::numbers::pi;
    return true;
  }
  if (name == "e") {
    result = std::numbers::e;
    return true;
  }
  return Fail(kUnknownVariable, nameStart, name);
}

}  // namespace kr::dsp
