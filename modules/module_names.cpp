// Every built-in module kind without a legacy number, registered by name so
// that a document naming it finds an entry. The rows are placeholders: the
// module's own registration (with its audio class and plug list) replaces
// its row, whichever static initialiser runs first.
#include <memory>

#include "document/module_registry.h"

namespace {

struct NameRow {
  const char* name;
  std::int32_t flags;
};

constexpr std::int32_t kModule = MF_STRUCTURE_VIEW;
constexpr std::int32_t kControl = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
constexpr std::int32_t kPanelOnly = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
constexpr std::int32_t kNoteSource = MF_STRUCTURE_VIEW | MF_VOICE_SOURCE | MF_NOTE_SOURCE;

// DSP modules (audio class in the comment).
const NameRow kDspModules[] = {
    {"8 Stage Env", kModule},                    // ug_8_stage
    {"Multistage Env", kControl},                // ug_envelope_ms, Ctl_Env_Edit
    {"Oscillator", kModule},                     // ug_oscillator2
    {"Phase Dist Osc", kModule},                 // ug_oscillator_pd
    {"1 KHz Tone", kModule},                     // ug_test_tone
    {"Moog Filter", kModule},                    // ug_filter_biquad
    {"1 Pole LP", kModule},                      // ug_filter_1pole
    {"1 Pole HP", kModule},                      // ug_filter_1pole_hp
    {"All Pass", kModule},                       // ug_filter_allpass
    {"Parametric EQ", kModule},                  // ug_filter_eq_parametric
    {"Denormal Detector", kModule},              // ug_denormal_detect
    {"Denormal Cleaner", kModule},               // ug_denormal_stop
    {"Trigger to MIDI", kModule},                // ug_cv_midi
    {"MIDI Automator", MF_STRUCTURE_VIEW | MF_VOICE_SOURCE},  // ug_midi_automator, CMidiAutomator
    {"MIDI Automator Output", MF_OBSOLETE},      // ug_midi_automator_out, no document class
    {"VST Input", kModule},                      // ug_vst_in
    {"VST Output", kModule},                     // ug_vst_out
    {"Float Adder", kModule},                    // ug_adder
    {"MIDI Adder2", kModule},                    // ug_adder_midi
    {"Comparator", kModule},                     // ug_comparator
    {"Control Plugs", kModule},                  // ug_control_plugs, CControlPlugs
    {"Delay2", kModule},                         // ug_delay2
    {"Feedback Delay", kModule},                 // ug_feedback_delay, CFeedbackDelay
    {"Fixed Values", kModule},                   // ug_fixed_values
    {"Freq Analyser", kControl},                 // ug_freq_anal, Ctl_FreqAn
    {"Freq Response Test", kControl},            // UFreqResp, Ctl_FreqResp
    {"GenProg", kControl},                       // ug_genprog, Ctl_GenProg
    {"GenProg Trigger", kModule},                // ug_genprog_trigger
    {"Peak Meter", kControl},                    // ug_peak_meter, Ctl_PeakMeter
    {"LED Indicator", kControl},                 // ug_led, Ctl_LED
    {"Volt Meter", kControl},                    // ug_volt_meter, Ctl_VoltMeter
    {"Binary Counter", kModule},                 // ug_logic_Bin_Count
    {"Step Counter", kModule},                   // ug_logic_counter
    {"Step Counter2", kModule},                  // ug_logic_counter2
    {"Decade Counter", kModule},                 // ug_logic_decade
    {"AND Gate", kModule},                       // ug_logic_AND
    {"OR Gate", kModule},                        // ug_logic_OR
    {"XOR Gate", kModule},                       // ug_logic_XOR
    {"NAND Gate", kModule},                      // ug_logic_NAND
    {"NOR Gate", kModule},                       // ug_logic_NOR
    {"NOT Gate", kModule},                       // ug_logic_not
    {"Shift Register", kModule},                 // ug_logic_shift
    {"Ceil", kModule},                           // ug_math_ceil
    {"Floor", kModule},                          // ug_math_floor
    {"Divide", kModule},                         // ug_math_div
    {"Multiply", kModule},                       // ug_math_mult
    {"Subtract", kModule},                       // ug_math_sub
    {"Ring Modulator", kModule},                 // ug_multiplier
    {"Monostable", kModule},                     // ug_monostable
    {"Quantiser", kModule},                      // ug_quantiser
    {"random", kModule},                         // ug_random
    {"Rectifier", kModule},                      // ug_rectifier
    {"Sample and Hold", kModule},                // ug_sample_hold
    {"MIDI Filter", kModule},                    // ug_midi_filter
    {"KeyBoard", kControl},                      // ug_midi_keyboard, Ctl_Keyboard2
    {"MIDI Monitor", kControl},                  // ug_midi_monitor, Ctl_tty
    {"MIDI Recorder", kModule},                  // ug_midi_recorder
    {"Soundfont Oscillator", kModule},           // ug_osc_sf, Cosc_sf
    {"Soundfont Player", kNoteSource | MF_PANEL_VIEW},  // ug_sample_player2, Ctl_SamplePlay2
    {"Drum Sequencer", kControl},                // ug_step_sequencer, CDrumSeq
    {"OS Command", kModule},                     // ug_system_command
    {"Voice Combiner", kModule},                 // ug_voice_combiner
    {"Voltage To List", kModule},                // ug_voltage_to_enum
    {"Sound In", kModule},                       // ug_soundcard_in
    {"Sound Out", kModule},                      // ug_soundcard_out
    {"Wave Player", kModule},                    // ug_wave_player
    {"Wave Recorder", kModule},                  // ug_wave_recorder
    {"WaveShaper", kControl},                    // ug_wave_shaper, Ctl_WaveShape
    {"WaveShaper2", kControl},                   // ug_wave_shaper2, Ctl_WaveShape2
    {"Plugin", kModule},                         // ug_plugin: stands in for a missing library module
    {"Patch Mem - Text in", kModule},            // ug_param_text_in, ui_param_text_in
    {"Patch Parameter - Level Out", kControl},   // ug_param_float_out, ui_param_float_out
};

// Panel-only modules: a document class, no audio object.
const NameRow kPanelModules[] = {
    {"Control Group", kPanelOnly},        // control_group_ob
    {"Image", kPanelOnly},                // control_ob_bitmap
    {"Joystick Image", kPanelOnly},       // control_ob_bitmap_joystick
    {"Tinted Image", kPanelOnly},         // control_ob_bitmap_tinted
    {"List Entry2", kPanelOnly},          // control_ob_list
    {"Text Entry2", kPanelOnly},          // control_ob_text
    {"Sub Panel", kPanelOnly},            // CPortal
    {"Paged Group", kPanelOnly},          // CTabBox
    {"Image to Frame", kModule},          // ui_bitmap_frame
    {"Bool Splitter", kModule},           // ui_bool_splitter
    {"Bools to List", kModule},           // ui_bools_to_enum
    {"List To Bools", kModule},           // ui_enum_to_bools
    {"Float To Bool", kModule},           // ui_float_to_bool
    {"Increment", kModule},               // ui_incrementor
    {"Increment2", kModule},              // ui_incrementor2
    {"Int to List", kModule},             // ui_int_to_list
    {"Spring", kModule},                  // ui_spring
    {"System Command2", kModule},         // ui_system_command
    {"Text To Float", kModule},           // ui_text_to_float
};

bool RegisterNames() {
  for (const NameRow& row : kDspModules)
    RegisterPlaceholderModule(std::make_unique<Module_Info>(row.name, "", 0, 0, nullptr, nullptr, row.flags));
  for (const NameRow& row : kPanelModules)
    RegisterPlaceholderModule(std::make_unique<Module_Info>(row.name, "", 0, 0, nullptr, nullptr, row.flags));
  return true;
}

[[maybe_unused]] const bool registered = RegisterNames();

}  // namespace
