// The formula evaluator of "WaveShaper2" and its panel picture: a small
// expression language with variables, constants and functions, read by
// recursive descent. Each user owns an instance (no state is shared between
// threads); errors come back as values, never by unwinding, and nesting is
// limited so a formula cannot exhaust the stack. Allocation-free, so the
// audio thread may evaluate.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kr::dsp {

class Evaluator {
 public:
  enum Error : std::int32_t {
    kNone = 0,
    kSyntax = 1,
    kUnbalanced = 2,
    kDivisionByZero = 3,
    kUnknownVariable = 4,
    kTooManyVariables = 5,
    kUnknownFunction = 6,
    kWrongArgumentCount = 7,
    kMissingArgument = 8,
    kEmpty = 9,
    kTooDeep = 10,
  };
  static constexpr int kMaxVariables = 50;
  static constexpr int kMaxNameLength = 15;   // longer names keep their first 15 characters
  static constexpr int kMaxTextLength = 199;  // longer texts are cut
  static constexpr int kMaxDepth = 32;        // nested parentheses, calls and signs

  struct Result {
    double value = 0.0;      // on an error, what was computed before it
    Error error = kNone;
    int position = 0;        // character offset of the error in the (cut) text
    std::string_view token;  // the offending token (valid until the next evaluation)
    bool ok() const { return error == kNone; }
  };

  // Evaluates one statement: an expression, "name = expression" (stores the
  // variable) or "name =" (removes it).
  Result Run(std::string_view text);
  // Sets the variable "x", then runs the formula; errors give the value so far.
  double Evaluate(std::string_view text, double x);

  // The message of an error code ("Syntax error", ...).
  static std::string_view ErrorText(Error error);
  // "Syntax error at character 4 ('$')"; empty for a good result.
  static std::string Describe(const Result& result);

  // Variables (names as the formula writes them, compared case-blind).
  bool SetVariable(std::string_view name, double value);
  void RemoveVariable(std::string_view name);
  int VariableCount() const;

 private:
  enum TokenKind { kEnd = 0, kName = 1, kOperator = 2, kNumber = 3 };
  struct Variable {
    char name[kMaxNameLength + 1] = {};
    double value = 0.0;
  };

  bool NextToken();
  // Records the first error (at a character offset, with its token) and
  // returns false, which every caller passes up.
  bool Fail(Error error, int position, std::string_view token);
  bool FailHere(Error error) { return Fail(error, tokenStart_, {token_.data(), static_cast<std::size_t>(tokenLength_)}); }
  bool Statement(double& result);
  bool Expression(double& result);
  bool Term(double& result);
  bool Factor(double& result);
  bool Primary(double& result);
  bool Call(std::string_view name, int nameStart, double& result);
  bool NameValue(std::string_view name, int nameStart, double& result);
  bool IsOperator(char c) const { return kind_ == kOperator && token_[0] == c; }
  Variable* Find(std::string_view name);
  const Variable* Find(std::string_view name) const;

  std::array<Variable, kMaxVariables> variables_{};
  std::array<char, kMaxTextLength + 1> text_{};
  int length_ = 0;
  int position_ = 0;      // read position: just after the current token
  int tokenStart_ = 0;
  TokenKind kind_ = kEnd;
  std::array<char, kMaxTextLength + 1> token_{};  // the current token's text
  int tokenLength_ = 0;
  double number_ = 0.0;
  int depth_ = 0;
  Error error_ = kNone;
  int errorPosition_ = 0;
  std::array<char, kMaxTextLength + 1> errorToken_{};
  int errorTokenLength_ = 0;
};

}  // namespace kr::dsp
