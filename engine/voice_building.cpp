// Building the voices of a container while the engine is stopped: which
// modules are per-voice, the combiners and voice monitors they need, and
// the voice copies.
#include <algorithm>

#include "engine/audio_master.h"
#include "engine/ug_base.h"
#include "engine/voice_list.h"

namespace kr {

namespace {

bool PerVoice(const ug_base* m) { return m != nullptr && (m->flags & UGF_POLYPHONIC) != 0; }

VoiceNoteSource* AsNoteSource(ug_base* m) { return dynamic_cast<VoiceNoteSource*>(m); }

}  // namespace

void VoiceList::ReportSecondNoteSource(ug_base& module) {
  module.MessageBox(
      "You have several 'MidiToCv', 'Soundfont Player', or 'Drum Trigger' modules together. Put each in it's own "
      "container.");
  // The patch cannot play as built: the engine stops (it stays silent).
  if (module.audioMaster != nullptr) module.audioMaster->RequestStop();
}

void VoiceList::FindNoteReceiver() {
  Voice& first = FirstVoice();
  for (ug_base* m : first.modules) {
    if (AsNoteSource(m) == nullptr || m == first.noteReceiver) continue;
    if (first.noteReceiver == nullptr) {
      first.noteReceiver = m;
    } else {
      ReportSecondNoteSource(*m);  // the first note source keeps the voice
    }
  }
}

void VoiceList::MarkVoiceModules() {
  FindNoteReceiver();
  Voice& first = FirstVoice();
  VoiceNoteSource* source = AsNoteSource(first.noteReceiver);
  if (source == nullptr) return;
  if (!source->PlaysMelodies()) return MakeDrumVoices(*source);

  first.noteReceiver->MarkDownstream();
  // Snapshot: marking never adds modules, but keep the walk independent.
  const std::vector<ug_base*> modules = first.modules;
  for (ug_base* m : modules)
    if (m->HasMarkedInput()) m->MarkUpstream();

  // The note source is always copied: each voice's copy hears that voice's
  // notes, even when nothing it feeds is per-voice yet.
  first.noteReceiver->flags |= UGF_UP_MARK;
  std::vector<ug_base*> perVoice;
  for (ug_base* m : modules) {
    if ((m->flags & (UGF_DOWN_MARK | UGF_UP_MARK)) == (UGF_DOWN_MARK | UGF_UP_MARK)) {
      m->flags |= UGF_POLYPHONIC;
      perVoice.push_back(m);
    }
  }
  InsertCombiners(perVoice);
  InsertVoiceMonitor(perVoice);
}

void VoiceList::MakeDrumVoices(VoiceNoteSource& source) {
  Voice& first = FirstVoice();
  // The drum trigger and the constant sources stay shared: tags stop there.
  for (ug_base* m : first.modules)
    if (m == first.noteReceiver || (m->flags & UGF_IO_MOD) != 0) m->voiceTag = 0;
  source.TagDrumVoices();
  const std::vector<ug_base*> modules = first.modules;
  for (ug_base* m : modules) {
    if (m->voiceTag <= 0) continue;
    for (auto& plug : m->plugs) {
      if (!plug->IsInput()) continue;
      for (std::size_t i = 0; i < plug->connections.size(); ++i) {
        connector* c = plug->connections[i];
        if (c->to == plug.get() && c->from != nullptr && c->from->owner != nullptr)
          c->from->owner->PropagateVoiceUp(m->voiceTag);
      }
    }
  }
  int largest = 0;
  for (ug_base* m : modules) largest = std::max(largest, m->voiceTag);
  for (int n = 1; n <= largest; ++n) {
    auto voice = std::make_unique<Voice>();
    voice->number = n;
    voice->note = static_cast<std::int16_t>(n);
    voice->noteReceiver = first.noteReceiver;
    voices.push_back(std::move(voice));
  }
  auto& shared = first.modules;
  for (ug_base* m : modules) {
    if (m->voiceTag <= 0 || m == first.noteReceiver) continue;
    m->flags |= UGF_POLYPHONIC;
    voices[static_cast<std::size_t>(m->voiceTag)]->modules.push_back(m);
    shared.erase(std::find(shared.begin(), shared.end(), m));
  }
}

void VoiceList::InsertCombiners(std::vector<ug_base*>& perVoice) {
  for (ug_base* m : perVoice) {
    for (auto& plug : m->plugs) {
      UPlug* out = plug.get();
      if (out->direction != DR_OUT) continue;
      const std::vector<connector*> wires = out->connections;
      for (connector* c : wires) {
        UPlug* in = c->to;
        if (c->from != out || in == nullptr || PerVoice(in->owner) || in->IsSumming()) continue;
        if (in->type != DT_AUDIO && in->type != DT_MIDI) continue;
        ug_base* combiner = MakeCombiner(in->type);
        if (combiner == nullptr || combiner->PlugCount() < 2) continue;
        combiner->flags |= UGF_NO_MARKING | (in->owner != nullptr ? in->owner->flags & UGF_MONITOR : 0u);
        Disconnect(c);
        Connect(out, combiner->GetPlug(1));
        Connect(combiner->GetPlug(0), in);
        in->redirect = combiner->GetPlug(1);
      }
    }
  }
}

void VoiceList::InsertVoiceMonitor(const std::vector<ug_base*>& perVoice) {
  ug_base* monitor = nullptr;
  for (ug_base* m : perVoice) {
    for (auto& plug : m->plugs) {
      UPlug* out = plug.get();
      if (out->direction != DR_OUT || out->type != DT_AUDIO) continue;
      const bool feedsShared = std::any_of(out->connections.begin(), out->connections.end(), [out](connector* c) {
        return c->from == out && c->to != nullptr && c->to->owner != nullptr &&
               (c->to->owner->flags & (UGF_POLYPHONIC | UGF_MONITOR)) == 0;
      });
      if (!feedsShared) continue;
      if (monitor == nullptr) {
        monitor = MakeModule("VoiceMonitor");
        if (monitor == nullptr || monitor->PlugCount() < 2) return;
        monitor->flags |= UGF_POLYPHONIC;
      }
      Connect(out, monitor->GetPlug(1));
    }
  }
}

void VoiceList::BuildVoices() {
  for (auto& v : voices)
    std::stable_sort(v->modules.begin(), v->modules.end(),
                     [](const ug_base* a, const ug_base* b) { return a->sortOrder > b->sortOrder; });
  Voice& first = FirstVoice();
  // Drum voices have no modules of their own in this pass; they keep their
  // voice numbers as tags when opened.
  for (ug_base* m : first.modules) {
    if (auto* s = AsNoteSource(m); s != nullptr && m == first.noteReceiver) s->AttachVoice(*this, first);
    if (auto* w = dynamic_cast<VoiceWatcher*>(m)) w->WatchVoice(first);
  }
  VoiceNoteSource* source = AsNoteSource(first.noteReceiver);
  if (source == nullptr || !source->PlaysMelodies() || VoiceCount() > 1) return;
  for (int n = 1; n < MaxVoices(); ++n) CloneVoice(n);
  // The master hears every note: it must stay awake when voice 0 falls silent.
  first.noteReceiver->flags |= UGF_NEVER_SUSPEND_WITH_VOICE;
}

Voice& VoiceList::CloneVoice(int number) {
  Voice& first = FirstVoice();
  auto made = std::make_unique<Voice>();
  Voice& voice = *made;
  voice.number = number;
  std::vector<std::pair<ug_base*, ug_base*>> pairs;
  for (ug_base* m : first.modules) {
    if (!PerVoice(m)) continue;
    std::unique_ptr<ug_base> copy = m->Clone();
    ug_base* raw = copy.get();
    copies_.push_back(std::move(copy));
    voice.modules.push_back(raw);
    pairs.emplace_back(m, raw);
    if (m == first.noteReceiver) voice.noteReceiver = raw;
  }
  for (auto& [prototype, copy] : pairs) copy->ConnectClone(*prototype, number);
  for (auto& [prototype, copy] : pairs) {
    if (auto* s = AsNoteSource(copy); s != nullptr && copy == voice.noteReceiver) s->AttachVoice(*this, voice);
    if (auto* w = dynamic_cast<VoiceWatcher*>(copy)) w->WatchVoice(voice);
  }
  voices.push_back(std::move(made));
  return voice;
}

}  // namespace kr
