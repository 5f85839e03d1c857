// A filter whose voice was suspended and is resumed for a note plays, from
// the note's sample on, the same whatever sample its voice stopped at and
// however the host cut its blocks: it starts afresh there, as one opened
// then. (Voices stop at sub-block boundaries, so a filter that kept its
// frozen state would make a render depend on the host's block size.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "modules/filter/filter_ladder.h"
#include "modules/filter/filter_sv.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr int kResumedAt = 4096;
constexpr int kNoteAt = 5003;

// The filter's output from the note's sample on, its voice having stopped at
// stopAt; the input streams a sine the whole time.
template <class Filter>
std::vector<float> FromTheNoteOn(int hostBlock, int stopAt, int output) {
  TestEngine engine(hostBlock);
  auto* filter = engine.root.Add<Filter>(10);
  auto* sine = engine.root.Add<FunctionSource>(20);
  sine->f = [](int t) { return 0.5f * std::sin(static_cast<float>(t) * 0.05f); };
  Connect(sine->GetPlug(0), filter->GetPlug(0));
  auto* tap = engine.root.Add<Tap>(1);
  tap->recordRuns = false;
  Connect(filter->GetPlug(output), tap->GetPlug(0));
  ApplyInputs(*filter, {{2, "6"}});  // "Resonance"
  engine.Start();
  engine.Render(stopAt, hostBlock);
  filter->Suspend();
  engine.Render(kResumedAt - stopAt, hostBlock);
  filter->Resume();
  filter->VoiceResumed(kNoteAt);
  engine.Render(2000, hostBlock);
  if (tap->samples.size() < static_cast<std::size_t>(kNoteAt)) return {};
  return {tap->samples.begin() + kNoteAt, tap->samples.end()};
}

template <class Filter>
void ExpectNoTraceOfWhereItStopped(int output) {
  const std::vector<float> reference = FromTheNoteOn<Filter>(1, 700, output);
  ASSERT_EQ(reference.size(), 2000u - (kNoteAt - kResumedAt));
  float loudest = 0.0f;
  for (float x : reference) loudest = std::max(loudest, std::fabs(x));
  EXPECT_GT(loudest, 0.1f) << "it plays on after the note";
  for (int hostBlock : {1, 64, 441, 4096}) {
    for (int stopAt : {700, 1500, 3333}) {
      const std::vector<float> other = FromTheNoteOn<Filter>(hostBlock, stopAt, output);
      ASSERT_EQ(other.size(), reference.size());
      for (std::size_t i = 0; i < reference.size(); ++i)
        ASSERT_EQ(other[i], reference[i])
            << "host block " << hostBlock << ", stopped at " << stopAt << ", sample " << kNoteAt + static_cast<int>(i);
    }
  }
}

TEST(FilterResume, ALadderResumedForANoteStartsAfreshAtItsSample) {
  ExpectNoTraceOfWhereItStopped<ug_filter_biquad>(ug_filter_biquad::PN_OUTPUT);
}

TEST(FilterResume, AStateVariableFilterResumedForANoteStartsAfreshAtItsSample) {
  ExpectNoTraceOfWhereItStopped<ug_filter_sv>(ug_filter_sv::PN_LOW_PASS);
}

}  // namespace
