#include "modules/legacy_modules.h"

#include <memory>

#include "document/module_registry.h"
#include "modules/ug_delay.h"
#include "modules/ug_switch.h"

namespace {

struct LegacyRow {
  const char* name;
  AudioFactory audioFactory;
  std::int32_t flags;
};

constexpr std::int32_t kModule = MF_STRUCTURE_VIEW;
constexpr std::int32_t kControl = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
constexpr std::int32_t kObsolete = MF_STRUCTURE_VIEW | MF_OBSOLETE;
constexpr std::int32_t kNoteSource = MF_STRUCTURE_VIEW | MF_VOICE_SOURCE | MF_NOTE_SOURCE;

// Position n (from 1) is module number n. Every row is a placeholder: a
// module's own registration under the same name replaces it and keeps the
// number. A row without an audio class still resolves by name.
const LegacyRow kLegacyTable[] = {
    {"Audio Out", nullptr, kModule},                                      // 1 ug_wave_out
    {"ADSR", nullptr, kModule},                                           // 2 ug_adsr
    {"Container", nullptr, MF_CONTAINER_1 | MF_CONTAINER_2 | kControl},   // 3 ug_container
    {"IO Mod", nullptr, MF_CONTAINER_2 | MF_IO_MODULE | kModule},         // 4 ug_io_mod
    {"Slider", nullptr, kControl},                                        // 5 ug_slider
    {"Text Entry", nullptr, kControl},                                    // 6 ug_text_entry
    {"List Entry", nullptr, kControl},                                    // 7 ug_combobox
    {"MIDI Player", nullptr, kModule},                                    // 8 ug_midi_player
    {"Midi to CV", nullptr, kNoteSource},                                 // 9 ug_midi_to_cv
    {"", nullptr, 0},                                                     // 10 no module
    {"Level Adj", nullptr, kModule},                                      // 11 ug_multiplier
    {"SV Filter", nullptr, kModule},                                      // 12 ug_filter_sv
    {"VCA", nullptr, kModule},                                            // 13 ug_vca
    {"Drum Trigger", nullptr, kNoteSource},                               // 14 ug_drum_trigger
    {"Patch Select", nullptr, kControl},                                  // 15 ug_patch_sel
    {"MIDI In", nullptr, kModule},                                        // 16 ug_midi_in
    {"Delay", AudioFactoryFor<ug_delay>, kModule},                        // 17 ug_delay
    {"MIDI Adder(obsolete)", AudioFactoryFor<ug_delay>, kObsolete},       // 18 ug_delay
    {"Clipper", nullptr, kModule},                                        // 19 ug_clipper
    {"Monitor", nullptr, kControl},                                       // 20 ug_monitor
    {"Filter2 obsolete", nullptr, kObsolete},                             // 21 ug_filter_biquad
    {"Thrasher", nullptr, kModule},                                       // 22 UThrasher
    {"Switch", nullptr, kModule},                                         // 23 ug_obs_USwitch_v1
    {"Switch2", nullptr, kModule},                                        // 24 ug_obs_USwitch2_v1
    {"Filter obs", nullptr, kObsolete},                                   // 25 ug_filter_biquad
    {"Inverter", nullptr, kModule},                                       // 26 ug_inverter
    {"Sample Player obsolete", nullptr, kObsolete},                       // 27 ug_sample_player
    {"Notesource", nullptr, kNoteSource},                                 // 28 ug_notesource
    {"Audio In", nullptr, kModule},                                       // 29 ug_wave_in
    {"MIDI Out", nullptr, kModule},                                       // 30 ug_midi_out
    {"Controllers", nullptr, kModule},                                    // 31 ug_midi_controllers
    {"VoiceMonitor", nullptr, kModule},                                   // 32 ug_voice_monitor
    {"Button", nullptr, kControl},                                        // 33 ug_obs_UPushButton
    {"Z-Filter obsolete", AudioFactoryFor<ug_switch>, kObsolete},         // 34 ug_switch
    {"Panel Group", nullptr, MF_PANEL_VIEW},                              // 35 CPanelBox2 only
    {"X-Mix", nullptr, kModule},                                          // 36 ug_cross_fade
    {"Pan", nullptr, kModule},                                            // 37 ug_pan
    {"Switch (1->Many)", AudioFactoryFor<ug_switch>, kModule},            // 38 ug_switch
    {"Switch (Many->1)", nullptr, kModule},                               // 39 ug_switch2
    {"VST Plugin", nullptr, kControl},                                    // 40 ug_vst_plugin
    {"Peak Follower", nullptr, kModule},                                  // 41 ug_peak_det
    {"Line", nullptr, 0},                                                 // 42 the wire object
    {"Group", nullptr, kModule},                                          // 43 no DSP class
    {"Step Sequencer", nullptr, kControl},                                // 44 ug_step_sequencer
    {"***", nullptr, 0},                                                  // end of table
};

}  // namespace

void RegisterLegacyModules(ModuleRegistry& registry) {
  std::int32_t moduleNumber = 1;
  for (const LegacyRow& row : kLegacyTable) {
    if (std::string_view(row.name) == "***") break;
    // The empty position 10 is discarded by Register but still counts.
    registry.RegisterPlaceholder(
        std::make_unique<Module_Info>(row.name, "", 0, 0, nullptr, row.audioFactory, row.flags, "", moduleNumber));
    ++moduleNumber;
  }
}
