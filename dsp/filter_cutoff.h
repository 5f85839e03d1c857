// Cutoff frequency from a pitch sample for the filters: the shared tables
// (1 volt per octave, 0 ... 10 V, per sample rate), the direct formulas for
// negative pitches and the 1 V/kHz scale, and the denormal guard that every
// recursive filter state goes through.
#pragma once

#include <memory>

#include "dsp/denormal_guard.h"
#include "dsp/lookup_tables.h"

namespace kr::dsp {

// Every path keeps the cutoff inside (0, fs/2): a zero or negative cutoff
// (a bipolar pitch in 1 V/kHz mode, or a streaming pitch far below 0 V)
// would make the recursions grow without bound.
constexpr double kMinCutoffRatio = 1.6e-6;  // fc / fs (0.07 Hz at 44.1 kHz)

// 440 * 2^(10 s - 5) Hz, or 10 000 s Hz on the 1 V/kHz scale (s a sample, 1.0 = 10 V).
double PitchToHz(float pitch, bool voltsPerKHz);
// fc / fs from the direct formula, limited to [kMinCutoffRatio, maxRatio];
// NaN gives the minimum.
double CutoffRatio(float pitch, bool voltsPerKHz, double sampleRate, double maxRatio);

// A 514-entry table read at floor(512 s) with linear interpolation; s at or
// above 1 reads entry 512, s at or below 0 (or NaN) entry 0.
float ReadPitchTable(const ULookup& table, float s);

// The shared tables (call outside the audio thread; they are held by the
// filters from Open on). Names and keys are those of the stored engine.
std::shared_ptr<const ULookup> SvCutoffTable(double sampleRate);       // "ug_filter_sv Cutoff"
std::shared_ptr<const ULookup> SvResonanceLimitTable();                // "ug_filter_sv Resonance Limit"
std::shared_ptr<const ULookup> LadderKpTable(double sampleRate);       // "Moog LP kp"
std::shared_ptr<const ULookup> LadderScaleTable(double sampleRate);    // "Moog LP Scale"
std::shared_ptr<const ULookup> OnePoleTable(double sampleRate);        // "1 pole l"
std::shared_ptr<const ULookup> AllpassATable(double sampleRate);       // "ug_filter_allpass A"
std::shared_ptr<const ULookup> AllpassBTable(double sampleRate);       // "ug_filter_allpass B"

// The highest cutoff of the ladder and the one-pole filters, table and direct
// path alike, as a fraction of the sample rate.
constexpr double kLadderMaxRatio = 0.495;

}  // namespace kr::dsp
