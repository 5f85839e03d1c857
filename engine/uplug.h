// A module's runtime plug: its value (by data type), its connections and the
// state it last sent or received.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/connector.h"
#include "engine/samp_block.h"
#include "registry/interface_object.h"
#include "registry/midi_link.h"
#include "registry/plug_types.h"

namespace kr {

class ug_base;
class BaseInputArray;

enum UPlugFlags : std::uint32_t {
  UPF_CONTROL_INPUT = 0x2,
  UPF_VOICE = 0x4,
  UPF_SUMMING = 0x10,
  UPF_VALUE_CHANGED = 0x20,
  UPF_OWNS_DATA = 0x40,
  UPF_PATCH_VALUE = 0x80,
};

class UPlug {
 public:
  UPlug(ug_base* owner, PlugDirection direction, PlugDataType type);
  // A plug made from a plug-list record: flags and bindings come from it.
  UPlug(ug_base* owner, const InterfaceObject& record);
  UPlug(const UPlug&) = delete;
  UPlug& operator=(const UPlug&) = delete;
  virtual ~UPlug();

  // Bytes a text plug reserves when the engine is built, so that texts up to
  // this long (the longest file path) are stored on the audio thread without
  // allocating.
  static constexpr std::size_t kTextCapacity = 4096;

  void SetState(int time, PlugState newState);
  void SetValueFromText(std::string_view text);
  void ApplyDefault(std::string_view text);
  void AllocateData();
  // Samples of this plug's block (output) or of the connected block (input);
  // an unconnected audio input reads a silent block of its own.
  float* GetSampleBuffer();
  float GetValueNow();
  void SendMidi(int time, std::uint32_t message);
  void WakeReceivers();

  // Typed access to the value (the plug's data must be of that type).
  std::int16_t& EnumValue() { return *static_cast<std::int16_t*>(data); }
  bool& BoolValue() { return *static_cast<bool*>(data); }
  float& FloatValue() { return *static_cast<float*>(data); }
  std::int32_t& IntValue() { return *static_cast<std::int32_t*>(data); }
  double& DoubleValue() { return *static_cast<double*>(data); }
  std::string& TextValue() { return *static_cast<std::string*>(data); }
  USampBlock* Block();  // output: own block; input: the connected one (or null)
  MidiOutEndpoint& MidiOut() { return *static_cast<MidiOutEndpoint*>(data); }
  MidiInEndpoint& MidiIn() { return *static_cast<MidiInEndpoint*>(data); }
  BaseInputArray* InputArray() { return static_cast<BaseInputArray*>(data); }

  bool IsInput() const { return direction == DR_IN || direction == DR_PARAMETER; }
  bool IsSumming() const { return (flags & UPF_SUMMING) != 0; }
  bool HasConnection() const { return !connections.empty(); }
  // Copies the value of another plug of the same type (non-audio types).
  void CopyValueFrom(UPlug& source);
  // The value snapshot carried by a state-change event (by type).
  std::int32_t ValueSnapshot();
  void StoreSnapshot(std::int32_t snapshot);
  // Takes a connector off this plug's list (does not free it).
  void DetachConnector(connector* c);

  ug_base* owner = nullptr;
  void* data = nullptr;
  float** binding = nullptr;
  PlugDirection direction = DR_IN;
  PlugDataType type = DT_AUDIO;
  UPlug* partner = nullptr;
  std::uint32_t flags = 0;
  UPlug* redirect = nullptr;
  std::vector<connector*> connections;
  PlugState state = ST_STOP;
  int staticTime = -1;

 private:
  void UseInlineStorage();

  // Owned storage, by type (ownedData in one place per kind).
  std::unique_ptr<USampBlock> ownBlock_;     // audio output, or silence for an unconnected input
  USampBlock* sourceBlock_ = nullptr;        // audio input: the connected output's block
  std::unique_ptr<std::string> ownText_;
  std::unique_ptr<double> ownDouble_;
  std::unique_ptr<MidiOutEndpoint> ownMidiOut_;
  std::unique_ptr<MidiInEndpoint> ownMidiIn_;
  std::vector<std::unique_ptr<connector>> ownedConnectors_;  // an input owns its wires
  union {
    std::int16_t i16;
    bool b;
    float f;
    std::int32_t i32;
  } inline_{};

  friend void Connect(UPlug* output, UPlug* input);
  friend void Disconnect(connector* c);
};

// Wires output to input, following redirects. A second source into a
// single-connection input asks the container for a combiner (KrException
// KR_ERR_NO_COMBINER when there is none).
void Connect(UPlug* output, UPlug* input);
// Removes a connector from both plugs and frees it; drops the receiver's
// pending state changes that refer to it.
void Disconnect(connector* c);

const char* GetStatString(int state);

}  // namespace kr
