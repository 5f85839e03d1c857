// Checks the kestrune subcommands share on their option values, for the
// command-line parser.
#pragma once

#include <CLI/CLI.hpp>
#include <charconv>
#include <string>

namespace kr {

// A number without a fraction ("44100", not "44100.5").
inline const CLI::Validator WholeNumber(
    [](std::string& text) -> std::string {
      long long value = 0;
      const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
      if (ec != std::errc() || end != text.data() + text.size()) return "\"" + text + "\" is not a whole number";
      return {};
    },
    "WHOLE");

// The arguments "INPUT [-o OUTPUT]" several commands take.
struct InputOutputArgs {
  std::string input;
  std::string output;  // empty when not given
};

inline void DeclareInputOutput(CLI::App& command, InputOutputArgs& args, const std::string& inputKind,
                               const std::string& outputHelp) {
  command.add_option(inputKind, args.input, "the " + inputKind + " to read")->required();
  command.add_option("-o", args.output, outputHelp);
}

}  // namespace kr
