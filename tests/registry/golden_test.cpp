// The registry as the program lists it (names, legacy numbers, flags and plug
// lists) stays what stored patches rely on. When a change is meant, renew the
// golden file with:
//   build/dev/kestrune modules > tests/registry/golden/modules.txt
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/command.h"

using namespace kr;

namespace {

namespace fs = std::filesystem;

std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

TEST(RegistryGolden, TheProgramListsTheGoldenModules) {
#if defined(_WIN32)
  const fs::path program = fs::absolute(fs::path(KR_BINARY_DIR) / "kestrune.exe").make_preferred();
#else
  const fs::path program = fs::path(KR_BINARY_DIR) / "kestrune";
#endif
  const krtest::CommandRun run = krtest::RunCommand("\"" + program.string() + "\" modules");
  ASSERT_EQ(run.status, 0) << run.output;
  std::ifstream golden(fs::path(KR_SOURCE_DIR) / "tests" / "registry" / "golden" / "modules.txt", std::ios::binary);
  ASSERT_TRUE(golden.good());
  std::stringstream expected;
  expected << golden.rdbuf();

  std::istringstream want(WithoutCarriageReturns(expected.str())), got(WithoutCarriageReturns(run.output));
  for (int line = 1; want || got; ++line) {
    std::string a, b;
    std::getline(want, a);
    std::getline(got, b);
    ASSERT_EQ(b, a) << "line " << line
                    << " differs; if the change is meant: kestrune modules > tests/registry/golden/modules.txt";
  }
}

}  // namespace
