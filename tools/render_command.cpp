// kestrune render: plays a MIDI file through a plug-in, loaded through its
// VST 2 entry like a host does, and writes what it hears to a WAVE file.
#include <CLI/CLI.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "formats/midifile/midi_file.h"
#include "host/host_harness.h"
#include "host/render_session.h"
#include "host/wave_writer.h"
#include "tools/command_line.h"
#include "tools/default_patch.h"
#include "tools/demo_phrase.h"
#include "tools/patch_plugin.h"
#include "tools/progress_bar.h"
#include "tools/subcommand.h"

namespace kr {

namespace {

constexpr std::uintmax_t kLargestMidiFile = 64u << 20;

struct RenderArgs {
  std::string patch;
  std::string plugin;
  std::string midi;
  std::string output;
  double rate = 44100.0;
  int block = 512;
  std::string formatName = "16";
  WaveFormat format = WaveFormat::Pcm16;
  double tail = 2.0;
};

std::optional<kr::midifile::MidiFile> LoadMidi(const std::string& path, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (path.empty()) {
    bytes = DemoPhraseMidiFile();
  } else {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
      error = "cannot read " + path + ": " + ec.message();
      return std::nullopt;
    }
    if (size > kLargestMidiFile) {
      error = path + " is larger than 64 MiB; that is no MIDI file";
      return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      error = "cannot read " + path;
      return std::nullopt;
    }
  }
  kr::midifile::MidiReadResult read = kr::midifile::ReadMidiFile(bytes);
  if (!read.file) error = (path.empty() ? std::string("the demo phrase") : path) + ": " + read.error;
  return std::move(read.file);
}

const char* FormatName(WaveFormat f) {
  return f == WaveFormat::Pcm16 ? "16-bit PCM" : f == WaveFormat::Pcm24 ? "24-bit PCM" : "32-bit float";
}

void PrintSummary(const RenderArgs& args, const RenderStats& s, std::int64_t clipped, std::ostream& out) {
  char line[160];
  const double seconds = static_cast<double>(s.frames) / args.rate;
  std::snprintf(line, sizeof line, "wrote %s: %.2f s, %d channel%s, %.0f Hz, %s%s\n", args.output.c_str(), seconds,
                s.channels, s.channels == 1 ? "" : "s", args.rate, FormatName(args.format),
                s.endedOnSilence ? " (the tail ended early on silence)" : "");
  out << line;
  if (s.peak > 0.0f) {
    std::snprintf(line, sizeof line, "peak: %.3f (%.1f dBFS)", static_cast<double>(s.peak),
                  20.0 * std::log10(static_cast<double>(s.peak)));
    out << line;
  } else {
    out << "peak: 0 (the plug-in stayed silent)";
  }
  if (args.format != WaveFormat::Float32) out << "; clipped samples: " << clipped;
  out << "\n";
  out << "voices used: " << s.mostNotesHeld
      << " (the most notes held at once in the MIDI; the plug-in does not report its voices)\n";
  std::snprintf(line, sizeof line, "render speed: %.1f x real time (%.2f s)\n",
                s.wallSeconds > 0.0 ? seconds / s.wallSeconds : 0.0, s.wallSeconds);
  out << line;
}

int RunRender(RenderArgs& given) {
  const RenderArgs* args = &given;
  given.format = given.formatName == "16"   ? WaveFormat::Pcm16
                 : given.formatName == "24" ? WaveFormat::Pcm24
                                            : WaveFormat::Float32;
  if (given.output.empty()) {
    given.output = given.midi.empty() ? "demo.wav" : std::filesystem::path(given.midi).stem().string() + ".wav";
  }
  std::string error;
  const std::optional<kr::midifile::MidiFile> midi = LoadMidi(args->midi, error);
  if (!midi) {
    std::cerr << "kestrune render: " << error << "\n";
    return 1;
  }

  std::unique_ptr<PatchPlugin> exported;
  std::string pluginPath = args->plugin;
  if (pluginPath.empty()) {
    exported = args->patch.empty() ? PatchPlugin::FromJsonText(kDefaultPatchJson, error)
                                   : PatchPlugin::FromFile(args->patch, error);
    if (!exported) {
      std::cerr << "kestrune render: " << error << "\n";
      return 1;
    }
    pluginPath = exported->Path();
  }
  const std::string source = !args->plugin.empty() ? args->plugin
                             : !args->patch.empty() ? args->patch
                                                    : std::string("the default patch");

  int status = 1;
  {
    HostHarness host;  // unloads the plug-in before its temporary copy goes
    if (!host.Load(pluginPath)) {
      std::cerr << "kestrune render: " << host.Error() << "\n";
      return 1;
    }
    if (host.CallMain() == nullptr) {
      std::cerr << "kestrune render: " << source
                << ": main returned null (the plug-in could not load its patch; see any messages above)\n";
      return 1;
    }
    std::ofstream file(args->output, std::ios::binary | std::ios::trunc);
    if (!file) {
      std::cerr << "kestrune render: cannot write " << args->output << "\n";
      return 1;
    }
    const Score score = ScoreFromMidi(*midi, args->rate);
    RenderSettings settings;
    settings.sampleRate = args->rate;
    settings.blockSize = args->block;
    settings.tailSeconds = args->tail;
    const int channels = host.Effect()->numOutputs;
    WaveWriter writer(file, args->format, channels > 0 ? channels : 1, static_cast<int>(args->rate));
    ProgressBar bar(std::cerr, args->rate);
    const RenderOutcome outcome =
        RenderScore(host, score, settings, writer, [&](std::int64_t done, std::int64_t total) { bar.Update(done, total); });
    bar.Finish();
    const bool finished = outcome.ok && writer.Finish();
    if (!finished) {
      std::cerr << "kestrune render: " << (outcome.ok ? writer.Error() : outcome.error) << "\n";
    } else {
      std::cout << "kestrune render: " << source << " playing "
                << (args->midi.empty() ? std::string("the demo phrase") : args->midi) << "\n";
      PrintSummary(*args, outcome.stats, writer.ClippedSamples(), std::cout);
      status = 0;
    }
  }
  return status;
}

CommandRun DeclareRender(CLI::App& command) {
  auto args = std::make_shared<RenderArgs>();
  command.description(
      "Plays a Standard MIDI File (format 0 or 1, with its tempo map) through a plug-in,\n"
      "loaded through its VST 2 entry as a host does, and writes a WAVE file with one\n"
      "channel per plug-in output.");
  CLI::Option* plugin =
      command.add_option("--plugin", args->plugin, "an exported plug-in (a .so or .dll carrying its patch)");
  command
      .add_option("--patch", args->patch,
                  "a patch document (.json or .dat), exported to a temporary plug-in copy first;\n"
                  "without --plugin and --patch: the built-in default patch, a polyphonic\n"
                  "subtractive voice")
      ->excludes(plugin);
  command.add_option("--midi", args->midi, "the MIDI file; without it a built-in demo phrase (8 s)");
  command.add_option("-o,--output", args->output, "the WAVE file; default demo.wav, or the MIDI file's name with .wav");
  command.add_option("--rate", args->rate, "sample rate in whole samples a second")
      ->check(CLI::Range(8000, 384000) & WholeNumber)
      ->capture_default_str();
  command.add_option("--block", args->block, "host block size in samples")
      ->check(CLI::Range(1, 65536))
      ->capture_default_str();
  command.add_option("--format", args->formatName, "16 or 24 (PCM, clipped at full scale) or float")
      ->check(CLI::IsMember({"16", "24", "float", "32"}))
      ->capture_default_str();
  command
      .add_option("--tail", args->tail,
                  "seconds played after the last event; the tail ends early after 0.1 s of silence")
      ->check(CLI::Range(0.0, 3600.0))
      ->capture_default_str();
  command.footer(
      "MIDI events reach the plug-in at their exact sample offsets; the host time\n"
      "information follows the file's tempo map. The summary gives the duration, the\n"
      "peak, the voices used (the most notes held at once, as the plug-in does not\n"
      "report its voices) and the render speed as a multiple of real time. A progress\n"
      "bar is drawn on stderr, as one line redrawn in place, once a render has taken\n"
      "more than a second.\n"
      "Exit status: 0 when the WAVE file was written, 1 on failure, 2 for bad arguments.");
  return [args] { return RunRender(*args); };
}

}  // namespace

const Subcommand kRenderCommand{"render", "play a MIDI file through a plug-in into a WAVE file", &DeclareRender};

}  // namespace kr
