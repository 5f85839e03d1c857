// kestrune torture: drives a plug-in (or the plug-in carrying a patch) the
// way the worst hosts do and prints one line per check.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/audio_call.h"
#include "host/torture_checks.h"
#include "tools/default_patch.h"
#include "tools/patch_plugin.h"
#include "tools/subcommand.h"

namespace kr {

#ifndef KR_EXAMPLES_DIR
#define KR_EXAMPLES_DIR ""
#endif

namespace fs = std::filesystem;

namespace {

struct TortureArgs {
  std::string target;
  torture::Options options;
  std::vector<std::string> only;
  bool strictAllocations = false;
};

struct Target {
  std::string label;
  std::string patchPath;  // a patch file to export, or empty
  bool defaultPatch = false;
  std::string pluginPath;  // a plug-in file as it is
};

std::vector<Target> Targets(const TortureArgs& args) {
  std::vector<Target> targets;
  if (!args.target.empty()) {
    const std::string extension = fs::path(args.target).extension().string();
    if (extension == ".json" || extension == ".dat")
      targets.push_back({args.target, args.target, false, {}});
    else
      targets.push_back({args.target, {}, false, args.target});
    return targets;
  }
  targets.push_back({"default patch", {}, true, {}});
  std::error_code ec;
  std::vector<fs::path> examples;
  for (const auto& entry : fs::directory_iterator(KR_EXAMPLES_DIR, ec))
    if (entry.path().extension() == ".json" && entry.path().stem() != "default-subtractive")
      examples.push_back(entry.path());
  std::sort(examples.begin(), examples.end());
  for (const fs::path& p : examples) targets.push_back({p.filename().string(), p.string(), false, {}});
  return targets;
}

// Runs every chosen check on one target; answers the number of failures.
int Torture(const Target& target, const TortureArgs& args) {
  std::unique_ptr<PatchPlugin> exported;
  std::string plugin = target.pluginPath;
  if (target.defaultPatch || !target.patchPath.empty()) {
    std::string error;
    exported = target.defaultPatch ? PatchPlugin::FromJsonText(kDefaultPatchJson, error)
                                   : PatchPlugin::FromFile(target.patchPath, error);
    if (exported == nullptr) {
      std::cout << "FAIL: " << target.label << ": " << error << "\n";
      return 1;
    }
    plugin = exported->Path();
  }
  int failures = 0;
  std::int64_t allocations = 0;
  std::string offenders;
  for (const torture::Check& check : torture::Checks()) {
    if (!args.only.empty() && std::find(args.only.begin(), args.only.end(), check.name) == args.only.end())
      continue;
    const auto start = std::chrono::steady_clock::now();
    const torture::Verdict v = torture::RunCheck(check, plugin, args.options);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << (v.ok ? "ok: " : "FAIL: ") << target.label << ": " << v.check << ": " << v.detail << " ["
              << std::fixed << std::setprecision(1) << took.count() << std::defaultfloat << " s]" << std::endl;
    failures += v.ok ? 0 : 1;
    if (v.allocations > 0) {
      allocations += v.allocations;
      offenders += (offenders.empty() ? "" : ", ") + std::string(check.name) + " " + std::to_string(v.allocations);
    }
  }
  if (!audio_call::HookInstalled()) {
    std::cout << "allocations: " << target.label << ": not counted (no allocation hook in this program)\n";
  } else {
    const bool fail = args.strictAllocations && allocations > 0;
    std::cout << (fail ? "FAIL: " : "allocations: ") << target.label << ": " << allocations
              << " on the audio thread in steady state" << (offenders.empty() ? "" : " (" + offenders + ")")
              << std::endl;
    failures += fail ? 1 : 0;
  }
  return failures;
}

int RunTorture(const TortureArgs& args) {
  const TortureArgs* parsed = &args;
  int failures = 0;
  const std::vector<Target> targets = Targets(*parsed);
  for (const Target& target : targets) failures += Torture(target, *parsed);
  std::cout << "torture: " << targets.size() << (targets.size() == 1 ? " plug-in, " : " plug-ins, ") << failures
            << (failures == 1 ? " failure" : " failures") << " (seed " << parsed->options.seed << ")\n";
  return failures == 0 ? 0 : 1;
}

CommandRun DeclareTorture(CLI::App& command) {
  auto args = std::make_shared<TortureArgs>();
  command.description(
         "Loads the plug-in through its VST 2 entry and does to it what hosts do at their worst;\n"
         "every check prints one line, \"ok: ...\" or \"FAIL: ...\". A patch is first exported into\n"
         "a copy of the plug-in. Without a file: the default patch and every example patch.\n\n"
         "checks (names for --check):\n"
         "  block sizes    blocks of 0..8192 frames, changing every block, also longer than announced\n"
         "  sample rates   22050..192000 Hz switched while running; sound at each rate, state kept\n"
         "  suspend/resume many suspend/resume cycles (--cycles, 1000), state kept\n"
         "  instances      instances opened and closed in one process (--instances, 100)\n"
         "  two threads    two instances on two threads play as one alone does\n"
         "  parameters     setParameter from two threads while processing\n"
         "  programs       program switches while playing; every program keeps its values\n"
         "  chunks         bank and program chunk round trips, byte for byte, while playing\n"
         "  silence, noise, subnormals, nan, +inf, -inf\n"
         "                 that audio input: the output stays finite and is normal again within\n"
         "                 a second after the input ends\n"
         "  midi           thousands of events per block on all channels, stray data bytes,\n"
         "                 offsets outside the block (a quarter of --seconds)\n"
         "  editor         the editor opened, idled and closed over and over (also while open)\n"
         "                 on the host's thread while the audio plays; the state is kept");
  command.add_option("target", args->target,
                     "a plug-in file, or a patch (.json or .dat) first exported into a copy of the\n"
                     "plug-in; default: the default patch and every example patch");
  command.add_option("--seconds", args->options.seconds, "the audio each timed check plays")
      ->check(CLI::Range(0.01, 3600.0))
      ->capture_default_str();
  command.add_option("--seed", args->options.seed, "every random choice")->capture_default_str();
  std::vector<std::string> names;
  for (const torture::Check& c : torture::Checks()) names.emplace_back(c.name);
  command.add_option("--check", args->only, "run only the named check (again for more)")
      ->check(CLI::IsMember(names))
      ->allow_extra_args(false);
  command.add_option("--cycles", args->options.cycles, "suspend/resume cycles")
      ->check(CLI::Range(1, 1000000))
      ->capture_default_str();
  command.add_option("--instances", args->options.instances, "instances opened and closed")
      ->check(CLI::Range(1, 10000))
      ->capture_default_str();
  command.add_flag("--strict-allocations", args->strictAllocations,
                   "fail on any allocation in an audio call after a resume has settled");
  command.footer(
         "--seconds N sets the audio each timed check plays (default 5), --seed S every random\n"
         "choice (default 1). Allocations the plug-in makes in its audio calls after a resume\n"
         "has settled are counted and reported per plug-in; --strict-allocations fails on any.\n"
         "KR_TORTURE_TRACE_ALLOCATIONS=1 prints the stack of each one.\n"
         "Exit status: 0 when every check passed, 1 on any failure, 2 for bad arguments.");
  return [args] { return RunTorture(*args); };
}

}  // namespace

const Subcommand kTortureCommand{"torture", "drive a plug-in the way the worst hosts do", &DeclareTorture};

}  // namespace kr
