// Patch values stored by older document versions, through the exported
// plug-in's `main`: values stored without a name take it from their module's
// "Name" plug, so the host sees the same names, in the same order, and the
// same value in every program as with the current version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/document_file.h"
#include "document/document_version.h"
#include "patchtext/patch_compiler.h"
#include "programs_support.h"

using namespace kr;

namespace {

using namespace vst;
using krtest::Programs;

// Three named values, declared in another order than their names sort in,
// with five programs each.
constexpr const char* kNamedValues = R"({"settings": {"id": "KsOV", "programs": 5}, "root": {"modules": [
  {"module": "Container", "title": "Synth", "plugs": [{"name": "Out 1", "direction": "out"}],
   "modules": [
     {"module": "Patch Select", "id": "select"},
     {"module": "PatchMemListIn2", "id": "wave", "title": "W", "values": {"Name": "Wave", "Value": "0"},
      "patch_values": {"Value": {"programs": ["0", "1", "2", "3", "4"]}}},
     {"module": "PatchMemFloatIn", "id": "level", "title": "L", "values": {"Name": "Level", "Value": "1"},
      "patch_values": {"Value": {"programs": ["1", "2", "3", "4", "5"]}}},
     {"module": "PatchMemFloatIn", "id": "pitch", "title": "P", "values": {"Name": "Pitch", "Value": "9"},
      "patch_values": {"Value": {"programs": ["9", "8", "7", "6", "5"]}}},
     {"module": "Oscillator", "id": "osc"}],
   "wires": [{"from": "wave.List Out", "to": "osc.Waveform"}, {"from": "osc.Audio Out", "to": "io.Out 1"}]}]}})";

class StoredVersions : public Programs {
 protected:
  struct Seen {
    std::vector<std::string> names;
    std::vector<std::vector<float>> values;  // per program, per host parameter
  };

  Seen Load(int version) {
    const auto document = patchtext::CompilePatchText(kNamedValues, ".");
    Seen seen;
    HostHarness h;
    if (!Open(WriteDocument(*document, version), h)) {
      ADD_FAILURE() << "version " << version << " did not load";
      return seen;
    }
    for (int i = 0; i < h.Effect()->numParams; ++i) seen.names.push_back(h.ParameterText(effGetParamName, i));
    for (int program = 0; program < 5; ++program) {
      h.Dispatch(effSetProgram, 0, program);
      std::vector<float> values;
      for (int i = 0; i < h.Effect()->numParams; ++i) values.push_back(h.GetParameter(i));
      seen.values.push_back(values);
    }
    h.Close();
    return seen;
  }
};

TEST_F(StoredVersions, UnnamedValuesTakeTheirModulesNamesAndKeepTheHostsOrder) {
  const Seen current = Load(kCurrentDocumentVersion);
  ASSERT_EQ(current.names, (std::vector<std::string>{"Level", "Pitch", "Wave"}));
  // 95315: a counted list without names; 95350: the end-marked list, still
  // without names; 95395: names stored.
  for (const int version : {95315, 95350, 95395}) {
    SCOPED_TRACE(version);
    const Seen old = Load(version);
    EXPECT_EQ(old.names, current.names);
    EXPECT_EQ(old.values, current.values);
  }
  // Before 95311 no values were stored per program: the names still match.
  EXPECT_EQ(Load(95310).names, current.names);
}

}  // namespace
