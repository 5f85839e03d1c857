// Every module name a stored document may use, with its legacy number and
// flag word: the registry's starting entries. A module's own registration
// replaces its row (keeping the number); a row nobody replaces still lets a
// document that names it load. Data only: names, numbers and flags never
// change once released.
#include "registry/module_catalogue.h"

namespace kr {

namespace {

constexpr std::int32_t kModule = MF_STRUCTURE_VIEW;
constexpr std::int32_t kControl = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
constexpr std::int32_t kPanelOnly = MF_STRUCTURE_VIEW | MF_PANEL_VIEW;
constexpr std::int32_t kObsolete = MF_STRUCTURE_VIEW | MF_OBSOLETE;
constexpr std::int32_t kNoteSource = MF_STRUCTURE_VIEW | MF_VOICE_SOURCE | MF_NOTE_SOURCE;

// Documents of version 78 and older name a module by its position here
// (from 1), so order and names never change. Position 10 is empty.
constexpr CatalogueRow kLegacyRows[] = {
    {"Audio Out", kModule, 1},                           // ug_wave_out
    {"ADSR", kModule, 2},                                // ug_adsr
    {"Container", MF_CONTAINER_1 | MF_CONTAINER_2 | kControl, 3}, // ug_container
    {"IO Mod", MF_CONTAINER_2 | MF_IO_MODULE | kModule, 4}, // ug_io_mod
    {"Slider", kControl, 5},                             // ug_slider
    {"Text Entry", kControl, 6},                         // ug_text_entry
    {"List Entry", kControl, 7},                         // ug_combobox
    {"MIDI Player", kModule, 8},                         // ug_midi_player
    {"Midi to CV", kNoteSource, 9},                      // ug_midi_to_cv
    {"", 0, 10},                                         // no module
    {"Level Adj", kModule, 11},                          // ug_multiplier
    {"SV Filter", kModule, 12},                          // ug_filter_sv
    {"VCA", kModule, 13},                                // ug_vca
    {"Drum Trigger", kNoteSource, 14},                   // ug_drum_trigger
    {"Patch Select", kControl, 15},                      // ug_patch_sel
    {"MIDI In", kModule, 16},                            // ug_midi_in
    {"Delay", kModule, 17},                              // ug_delay
    {"MIDI Adder(obsolete)", kObsolete, 18},             // ug_delay
    {"Clipper", kModule, 19},                            // ug_clipper
    {"Monitor", kControl, 20},                           // ug_monitor
    {"Filter2 obsolete", kObsolete, 21},                 // ug_filter_biquad
    {"Thrasher", kModule, 22},                           // UThrasher
    {"Switch", kModule, 23},                             // ug_obs_USwitch_v1
    {"Switch2", kModule, 24},                            // ug_obs_USwitch2_v1
    {"Filter obs", kObsolete, 25},                       // ug_filter_biquad
    {"Inverter", kModule, 26},                           // ug_inverter
    {"Sample Player obsolete", kObsolete, 27},           // ug_sample_player
    {"Notesource", kNoteSource, 28},                     // ug_notesource
    {"Audio In", kModule, 29},                           // ug_wave_in
    {"MIDI Out", kModule, 30},                           // ug_midi_out
    {"Controllers", kModule, 31},                        // ug_midi_controllers
    {"VoiceMonitor", kModule, 32},                       // ug_voice_monitor
    {"Button", kControl, 33},                            // ug_obs_UPushButton
    {"Z-Filter obsolete", kObsolete, 34},                // ug_switch
    {"Panel Group", MF_PANEL_VIEW, 35},                  // CPanelBox2 only
    {"X-Mix", kModule, 36},                              // ug_cross_fade
    {"Pan", kModule, 37},                                // ug_pan
    {"Switch (1->Many)", kModule, 38},                   // ug_switch
    {"Switch (Many->1)", kModule, 39},                   // ug_switch2
    {"VST Plugin", kControl, 40},                        // ug_vst_plugin
    {"Peak Follower", kModule, 41},                      // ug_peak_det
    {"Line", 0, 42},                                     // the wire object
    {"Group", kModule, 43},                              // no DSP class
    {"Step Sequencer", kControl, 44},                    // ug_step_sequencer
};

// Built-in modules named by documents of version 79 on (audio class in the
// comment).
constexpr CatalogueRow kNamedRows[] = {
    {"8 Stage Env", kModule, -1},                        // ug_8_stage
    {"Multistage Env", kControl, -1},                    // ug_envelope_ms, Ctl_Env_Edit
    {"Oscillator", kModule, -1},                         // ug_oscillator2
    {"Phase Dist Osc", kModule, -1},                     // ug_oscillator_pd
    {"1 KHz Tone", kModule, -1},                         // ug_test_tone
    {"Moog Filter", kModule, -1},                        // ug_filter_biquad
    {"1 Pole LP", kModule, -1},                          // ug_filter_1pole
    {"1 Pole HP", kModule, -1},                          // ug_filter_1pole_hp
    {"All Pass", kModule, -1},                           // ug_filter_allpass
    {"Parametric EQ", kModule, -1},                      // ug_filter_eq_parametric
    {"Denormal Detector", kModule, -1},                  // ug_denormal_detect
    {"Denormal Cleaner", kModule, -1},                   // ug_denormal_stop
    {"Trigger to MIDI", kModule, -1},                    // ug_cv_midi
    {"MIDI Automator", MF_STRUCTURE_VIEW | MF_VOICE_SOURCE, -1}, // ug_midi_automator, CMidiAutomator
    {"MIDI Automator Output", MF_OBSOLETE, -1},          // ug_midi_automator_out, no document class
    {"VST Input", kModule, -1},                          // ug_vst_in
    {"VST Output", kModule, -1},                         // ug_vst_out
    {"Float Adder", kModule, -1},                        // ug_adder
    {"MIDI Adder2", kModule, -1},                        // ug_adder_midi
    {"Comparator", kModule, -1},                         // ug_comparator
    {"Control Plugs", kModule, -1},                      // ug_control_plugs, CControlPlugs
    {"Delay2", kModule, -1},                             // ug_delay2
    {"Feedback Delay", kModule, -1},                     // ug_feedback_delay, CFeedbackDelay
    {"Fixed Values", kModule, -1},                       // ug_fixed_values
    {"Freq Analyser", kControl, -1},                     // ug_freq_anal, Ctl_FreqAn
    {"Freq Response Test", kControl, -1},                // UFreqResp, Ctl_FreqResp
    {"GenProg", kControl, -1},                           // ug_genprog, Ctl_GenProg
    {"GenProg Trigger", kModule, -1},                    // ug_genprog_trigger
    {"Peak Meter", kControl, -1},                        // ug_peak_meter, Ctl_PeakMeter
    {"LED Indicator", kControl, -1},                     // ug_led, Ctl_LED
    {"Volt Meter", kControl, -1},                        // ug_volt_meter, Ctl_VoltMeter
    {"Binary Counter", kModule, -1},                     // ug_logic_Bin_Count
    {"Step Counter", kModule, -1},                       // ug_logic_counter
    {"Step Counter2", kModule, -1},                      // ug_logic_counter2
    {"Decade Counter", kModule, -1},                     // ug_logic_decade
    {"AND Gate", kModule, -1},                           // ug_logic_AND
    {"OR Gate", kModule, -1},                            // ug_logic_OR
    {"XOR Gate", kModule, -1},                           // ug_logic_XOR
    {"NAND Gate", kModule, -1},                          // ug_logic_NAND
    {"NOR Gate", kModule, -1},                           // ug_logic_NOR
    {"NOT Gate", kModule, -1},                           // ug_logic_not
    {"Shift Register", kModule, -1},                     // ug_logic_shift
    {"Ceil", kModule, -1},                               // ug_math_ceil
    {"Floor", kModule, -1},                              // ug_math_floor
    {"Divide", kModule, -1},                             // ug_math_div
    {"Multiply", kModule, -1},                           // ug_math_mult
    {"Subtract", kModule, -1},                           // ug_math_sub
    {"Ring Modulator", kModule, -1},                     // ug_multiplier
    {"Monostable", kModule, -1},                         // ug_monostable
    {"Quantiser", kModule, -1},                          // ug_quantiser
    {"random", kModule, -1},                             // ug_random
    {"Rectifier", kModule, -1},                          // ug_rectifier
    {"Sample and Hold", kModule, -1},                    // ug_sample_hold
    {"MIDI Filter", kModule, -1},                        // ug_midi_filter
    {"KeyBoard", kControl, -1},                          // ug_midi_keyboard, Ctl_Keyboard2
    {"MIDI Monitor", kControl, -1},                      // ug_midi_monitor, Ctl_tty
    {"MIDI Recorder", kModule, -1},                      // ug_midi_recorder
    {"Soundfont Oscillator", kModule, -1},               // ug_osc_sf, Cosc_sf
    {"Soundfont Player", kNoteSource | MF_PANEL_VIEW, -1}, // ug_sample_player2, Ctl_SamplePlay2
    {"Drum Sequencer", kControl, -1},                    // ug_step_sequencer, CDrumSeq
    {"OS Command", kModule, -1},                         // ug_system_command
    {"Voice Combiner", kModule, -1},                     // ug_voice_combiner
    {"Voltage To List", kModule, -1},                    // ug_voltage_to_enum
    {"Sound In", kModule, -1},                           // ug_soundcard_in
    {"Sound Out", kModule, -1},                          // ug_soundcard_out
    {"Wave Player", kModule, -1},                        // ug_wave_player
    {"Wave Recorder", kModule, -1},                      // ug_wave_recorder
    {"WaveShaper", kControl, -1},                        // ug_wave_shaper, Ctl_WaveShape
    {"WaveShaper2", kControl, -1},                       // ug_wave_shaper2, Ctl_WaveShape2
    {"Plugin", kModule, -1},                             // ug_plugin: stands in for a missing library module
    {"Patch Mem - Text in", kModule, -1},                // ug_param_text_in, ui_param_text_in
    {"Patch Parameter - Level Out", kControl, -1},       // ug_param_float_out, ui_param_float_out
};

// Panel-only modules and GUI-side helpers: a document class, no audio object.
constexpr CatalogueRow kPanelRows[] = {
    {"Control Group", kPanelOnly, -1},                   // control_group_ob
    {"Image", kPanelOnly, -1},                           // control_ob_bitmap
    {"Joystick Image", kPanelOnly, -1},                  // control_ob_bitmap_joystick
    {"Tinted Image", kPanelOnly, -1},                    // control_ob_bitmap_tinted
    {"List Entry2", kPanelOnly, -1},                     // control_ob_list
    {"Text Entry2", kPanelOnly, -1},                     // control_ob_text
    {"Sub Panel", kPanelOnly, -1},                       // CPortal
    {"Paged Group", kPanelOnly, -1},                     // CTabBox
    {"Image to Frame", kModule, -1},                     // ui_bitmap_frame
    {"Bool Splitter", kModule, -1},                      // ui_bool_splitter
    {"Bools to List", kModule, -1},                      // ui_bools_to_enum
    {"List To Bools", kModule, -1},                      // ui_enum_to_bools
    {"Float To Bool", kModule, -1},                      // ui_float_to_bool
    {"Increment", kModule, -1},                          // ui_incrementor
    {"Increment2", kModule, -1},                         // ui_incrementor2
    {"Int to List", kModule, -1},                        // ui_int_to_list
    {"Spring", kModule, -1},                             // ui_spring
    {"System Command2", kModule, -1},                    // ui_system_command
    {"Text To Float", kModule, -1},                      // ui_text_to_float
};

}  // namespace

std::span<const CatalogueRow> LegacyCatalogue() { return kLegacyRows; }
std::span<const CatalogueRow> NamedCatalogue() { return kNamedRows; }
std::span<const CatalogueRow> PanelCatalogue() { return kPanelRows; }

}  // namespace kr
