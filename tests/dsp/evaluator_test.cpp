// The formula evaluator: precedence, signs, every function and constant,
// variables, and an error with its position for every malformed formula.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "dsp/evaluator.h"

using namespace kr;

namespace {

void SetEnvironment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}

struct Case {
  const char* text;
  double value;
};

TEST(Evaluator, ValuesPrecedenceAndSigns) {
  const Case cases[] = {
      {"1 + 2 * 3", 7.0},       {"(1 + 2) * 3", 9.0},     {"10 - 4 - 3", 3.0},     {"2 * 3 / 4", 1.5},
      {"7 % 4", 3.0},           {"-7 % 4", -3.0},         {"7.5 % 2", 1.5},        {"2^10", 1024.0},
      {"2^3^2", 8.0},           {"-2^2", 4.0},            {"2^-1", 0.5},           {"-3 + +4", 1.0},
      {"2 * -3", -6.0},         {"1e5", 1.0},             {"1.2.3", 1.2},          {".5 + 5.", 5.5},
      {"  3\t* 2 ", 6.0},       {"PI", std::numbers::pi}, {"Pi * 2", 2 * std::numbers::pi},
      {"e", std::numbers::e},   {"((((1))))", 1.0},       {"2 * (3 + 4) ^ 2", 98.0},
      {"sin(pi/2)", 1.0},       {"cos(0)", 1.0},          {"tan(0.5)", std::tan(0.5)},
      {"asin(1)", std::numbers::pi / 2},                  {"acos(0.5)", std::acos(0.5)},
      {"atan(1)", std::numbers::pi / 4},                  {"sinh(1)", std::sinh(1.0)},
      {"cosh(1)", std::cosh(1.0)}, {"tanh(0.5)", std::tanh(0.5)}, {"exp(1)", std::numbers::e},
      {"log(e)", 1.0},          {"log10(1000)", 3.0},     {"sqrt(16)", 4.0},       {"floor(-1.5)", -2.0},
      {"ceil(1.2)", 2.0},       {"abs(-3)", 3.0},         {"hypot(3, 4)", 5.0},    {"deg(pi)", 180.0},
      {"rad(180)", std::numbers::pi}, {"sgn(0)", 1.0},    {"sgn(-0.1)", -1.0},     {"min(2, 3)", 2.0},
      {"max(2, 3)", 3.0},       {"MAX(min(1,2), 0)", 1.0}, {"max(a = 4, a + 1)", 5.0},
  };
  for (const Case& c : cases) {
    kr::dsp::Evaluator evaluator;
    const kr::dsp::Evaluator::Result r = evaluator.Run(c.text);
    EXPECT_TRUE(r.ok()) << c.text << ": " << kr::dsp::Evaluator::Describe(r);
    EXPECT_NEAR(r.value, c.value, 1e-12 * std::max(1.0, std::fabs(c.value))) << c.text;
  }
}

TEST(Evaluator, VariablesPersistAndHideConstants) {
  kr::dsp::Evaluator evaluator;
  EXPECT_EQ(evaluator.Run("a = 3").value, 3.0);
  EXPECT_EQ(evaluator.Run("a * 2").value, 6.0);
  EXPECT_EQ(evaluator.Run("pi = 3").value, 3.0);
  EXPECT_EQ(evaluator.Run("pi + 1").value, 4.0) << "a variable hides the constant of the same name";
  EXPECT_EQ(evaluator.Run("pi =").value, 0.0) << "nothing after '=' removes the variable";
  EXPECT_NEAR(evaluator.Run("pi").value, std::numbers::pi, 1e-15);
  EXPECT_EQ(evaluator.Run("averyveryverylongname = 2").value, 2.0);
  EXPECT_EQ(evaluator.Run("averyveryverylongOTHER").value, 2.0) << "names keep their first 15 characters";
  EXPECT_DOUBLE_EQ(evaluator.Evaluate("5 * sin(x/PI)", 0.0), 0.0);
  EXPECT_DOUBLE_EQ(evaluator.Evaluate("x * x", -3.0), 9.0);
  SetEnvironment("kr_eval_test", "2.5");
  EXPECT_EQ(evaluator.Run("_KR_EVAL_TEST * 2").value, 5.0) << "the text is lower-cased";
#ifndef _WIN32  // Windows names are case-blind anyway
  SetEnvironment("KR_EVAL_UPPER", "2.5");
  EXPECT_EQ(evaluator.Run("_KR_EVAL_UPPER").error, kr::dsp::Evaluator::kUnknownVariable);
#endif
}

TEST(Evaluator, FiftyVariablesAtMost) {
  kr::dsp::Evaluator evaluator;
  for (int i = 0; i < kr::dsp::Evaluator::kMaxVariables; ++i)
    ASSERT_TRUE(evaluator.Run("v" + std::to_string(i) + " = " + std::to_string(i)).ok()) << i;
  const kr::dsp::Evaluator::Result full = evaluator.Run("w = 1");
  EXPECT_EQ(full.error, kr::dsp::Evaluator::kTooManyVariables);
  EXPECT_EQ(full.position, 0);
  EXPECT_TRUE(evaluator.Run("v3 = 7").ok()) << "an existing variable can still change";
  EXPECT_TRUE(evaluator.Run("v4 =").ok());
  EXPECT_TRUE(evaluator.Run("w = 1").ok()) << "a removed variable frees its slot";
}

struct ErrorCase {
  const char* text;
  kr::dsp::Evaluator::Error error;
  int position;
  const char* token;
  double partial;
};

TEST(Evaluator, ErrorsWithPositions) {
  const ErrorCase cases[] = {
      {"", kr::dsp::Evaluator::kEmpty, 0, "", 0.0},
      {"   ", kr::dsp::Evaluator::kEmpty, 3, "", 0.0},
      {"2 $ 3", kr::dsp::Evaluator::kSyntax, 2, "$", 2.0},
      {"5 * sin(", kr::dsp::Evaluator::kSyntax, 8, "", 5.0},
      {"3 + * 4", kr::dsp::Evaluator::kSyntax, 4, "*", 3.0},
      {"--2", kr::dsp::Evaluator::kSyntax, 1, "-", 0.0},
      {"(5", kr::dsp::Evaluator::kUnbalanced, 0, "(", 5.0},
      {"sin(1", kr::dsp::Evaluator::kUnbalanced, 3, "(", 0.0},
      {"sin(1 2)", kr::dsp::Evaluator::kUnbalanced, 3, "(", 0.0},
      {"5/0", kr::dsp::Evaluator::kDivisionByZero, 2, "0", 5.0},
      {"5 % (1 - 1)", kr::dsp::Evaluator::kDivisionByZero, 4, "(", 5.0},
      {"2 * y", kr::dsp::Evaluator::kUnknownVariable, 4, "y", 2.0},
      {"_kr_no_such_var", kr::dsp::Evaluator::kUnknownVariable, 0, "_kr_no_such_var", 0.0},
      {"foo(1)", kr::dsp::Evaluator::kUnknownFunction, 0, "foo", 0.0},
      {"sin(1,2)", kr::dsp::Evaluator::kWrongArgumentCount, 0, "sin", 0.0},
      {"min(1)", kr::dsp::Evaluator::kWrongArgumentCount, 0, "min", 0.0},
      {"max(1,2,3,4)", kr::dsp::Evaluator::kWrongArgumentCount, 0, "max", 0.0},
      {"sin()", kr::dsp::Evaluator::kMissingArgument, 4, ")", 0.0},
      {"max(1,,2)", kr::dsp::Evaluator::kMissingArgument, 6, ",", 0.0},
      {"1 + ()", kr::dsp::Evaluator::kMissingArgument, 5, ")", 1.0},
  };
  for (const ErrorCase& c : cases) {
    kr::dsp::Evaluator evaluator;
    const kr::dsp::Evaluator::Result r = evaluator.Run(c.text);
    EXPECT_EQ(r.error, c.error) << '"' << c.text << "\": " << kr::dsp::Evaluator::Describe(r);
    EXPECT_EQ(r.position, c.position) << c.text;
    EXPECT_EQ(r.token, c.token) << c.text;
    EXPECT_EQ(r.value, c.partial) << c.text;
  }
  kr::dsp::Evaluator evaluator;
  EXPECT_EQ(kr::dsp::Evaluator::Describe(evaluator.Run("2 $ 3")), "Syntax error at character 3: '$'");
  EXPECT_EQ(kr::dsp::Evaluator::Describe(evaluator.Run("sin(1,2)")), "Wrong number of arguments to funtion at character 1: 'sin'");
  EXPECT_EQ(kr::dsp::Evaluator::Describe(evaluator.Run("1")), "");
}

TEST(Evaluator, DeepNestingIsAnErrorNotACrash) {
  kr::dsp::Evaluator evaluator;
  const std::string deep = std::string(150, '(') + "1" + std::string(150, ')');
  const kr::dsp::Evaluator::Result r = evaluator.Run(deep);
  EXPECT_EQ(r.error, kr::dsp::Evaluator::kTooDeep);
  EXPECT_EQ(r.position, kr::dsp::Evaluator::kMaxDepth);
  std::string calls;
  for (int i = 0; i < 60; ++i) calls += "abs(";
  EXPECT_EQ(evaluator.Run(calls + "1").error, kr::dsp::Evaluator::kTooDeep);
  const std::string nested = std::string(kr::dsp::Evaluator::kMaxDepth, '(') + "2" + std::string(kr::dsp::Evaluator::kMaxDepth, ')');
  EXPECT_EQ(evaluator.Run(nested).value, 2.0) << "the limit itself still reads";
}

TEST(Evaluator, LongTextsAreCut) {
  kr::dsp::Evaluator evaluator;
  std::string sum = "1";
  while (sum.size() < 400) sum += "+1";
  // 199 characters: "1" and 99 times "+1".
  EXPECT_EQ(evaluator.Run(sum).value, 100.0);
  EXPECT_NEAR(std::log10(evaluator.Run(std::string(190, '9')).value), 190.0, 1e-9);
}

}  // namespace
