#include "gui/panel/keyboard_panel.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "document/cug.h"
#include "gui/draw/draw.h"
#include "gui/draw/text.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/widgets.h"

namespace kr::gui {

namespace {

constexpr int kHoldSize = 10;  // the hold switch: the top-left corner
constexpr Pixel kPressedKey = Rgb(255, 0, 0);
constexpr Pixel kBlack = Rgb(0, 0, 0);
constexpr Pixel kWhite = Rgb(255, 255, 255);
constexpr std::uint32_t kHoldOn = 0x00F000, kHoldOff = 0x646464;  // 0x00BBGGRR

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int FloorMod(int a, int b) { return a - FloorDiv(a, b) * b; }

// The semitones of the seven white keys of an octave.
constexpr int kWhiteSemitones[] = {0, 2, 4, 5, 7, 9, 11};

}  // namespace

int KeyboardPanel::NoteAt(Point p, int width, int height) {
  const int w = KeyWidth(width);
  // 14 slots per octave: even slots are white keys, odd ones the black keys
  // between them.
  int k = 2 * FloorDiv(p.x, w);
  if (p.y * 2 < height) {
    const int j = 2 * FloorDiv(p.x + w / 2, w) - 1;
    if (FloorMod(j, 14) != 5) k = j;  // no black key between E and F
  }
  const int slot = FloorMod(k, 14);
  const int s = std::min(slot > 4 ? slot - 1 : slot, 11);
  return std::clamp(kLowestNote + 12 * FloorDiv(k, 14) + s, 0, 127);
}

int KeyboardPanel::NoteOfKey(int key) {
  if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
  constexpr std::string_view lower = "ZSXDCVGBHNJM", upper = "Q2W3ER5T6Y7UI9O0P";
  if (const auto at = lower.find(static_cast<char>(key)); key > 0 && key < 128 && at != std::string_view::npos)
    return 48 + static_cast<int>(at);
  if (const auto at = upper.find(static_cast<char>(key)); key > 0 && key < 128 && at != std::string_view::npos)
    return 60 + static_cast<int>(at);
  return -1;
}

void KeyboardPanel::Play(CVisualOb& widget, int note) {
  if (note < 0 || note > 127) return;
  // With hold on, a key that sounds already stops.
  if (hold_ && down_[static_cast<std::size_t>(note)]) return Release(widget, note);
  down_[static_cast<std::size_t>(note)] = true;
  ValuesOf(widget).SendNotify(module_, kNoteOn, note);
  widget.Invalidate();
}

void KeyboardPanel::Release(CVisualOb& widget, int note) {
  if (note < 0 || note > 127 || !down_[static_cast<std::size_t>(note)]) return;
  down_[static_cast<std::size_t>(note)] = false;
  ValuesOf(widget).SendNotify(module_, kNoteOff, note);
  widget.Invalidate();
}

void KeyboardPanel::ReleaseAll(CVisualOb& widget) {
  for (int note = 0; note < 128; ++note) Release(widget, note);
}

void KeyboardPanel::MouseDown(CVisualOb& widget, Point p, std::uint32_t) {
  if (p.x >= 0 && p.x < kHoldSize && p.y >= 0 && p.y < kHoldSize) {
    hold_ = !hold_;
    if (!hold_) ReleaseAll(widget);
    last_ = -1;
    widget.Invalidate();
    return;
  }
  last_ = NoteAt(p, widget.GetRect().Width(), widget.GetRect().Height());
  Play(widget, last_);
}

void KeyboardPanel::MouseMove(CVisualOb& widget, Point p, std::uint32_t) {
  if (last_ < 0) return;  // the press toggled hold
  const int note = NoteAt(p, widget.GetRect().Width(), widget.GetRect().Height());
  if (note == last_) return;
  const int previous = std::exchange(last_, note);
  Play(widget, note);
  if (!hold_) Release(widget, previous);
}

void KeyboardPanel::MouseUp(CVisualOb& widget, Point, std::uint32_t) {
  if (!hold_) Release(widget, last_);
  last_ = -1;
}

bool KeyboardPanel::KeyDown(CVisualOb& widget, int key, std::uint32_t flags) {
  const int note = NoteOfKey(key);
  if (note < 0) return false;
  if (!(flags & (kKeyRepeat | kShift | kControl))) Play(widget, note);
  return true;
}

bool KeyboardPanel::KeyUp(CVisualOb& widget, int key, std::uint32_t) {
  const int note = NoteOfKey(key);
  if (note < 0) return false;
  if (!hold_) Release(widget, note);
  return true;
}

bool KeyboardPanel::Refresh(CVisualOb&) {
  const void* audio = module_.AudioObject();
  if (audio == audio_) return false;
  audio_ = audio;
  const bool any = std::find(down_.begin(), down_.end(), true) != down_.end();
  down_ = {};
  last_ = -1;
  return any;
}

void KeyboardPanel::Opened(CVisualOb& widget) {
  audio_ = module_.AudioObject();
  if (InputState* in = widget.Input()) in->keyboardReceiver = &widget;
}

void KeyboardPanel::Closing(CVisualOb& widget) {
  ReleaseAll(widget);
  last_ = -1;
  if (InputState* in = widget.Input(); in && in->keyboardReceiver == &widget) in->keyboardReceiver = nullptr;
}

void KeyboardPanel::Draw(CVisualOb& widget, DrawContext& dc) {
  const Rect c = widget.GetClientRect();
  const int w = KeyWidth(c.Width());
  FillRect(dc, c, kWhite);
  // White keys, then the black keys over them.
  for (int i = 0; i * w < c.Width(); ++i) {
    const int note = kLowestNote + 12 * (i / 7) + kWhiteSemitones[i % 7];
    if (Down(note)) FillRect(dc, {i * w, 0, (i + 1) * w, c.bottom}, kPressedKey);
    FillRect(dc, {i * w, 0, i * w + 1, c.bottom}, kBlack);
  }
  const int blackWidth = 2 * w / 3;
  for (int i = 0; i * w < c.Width(); ++i) {
    const int degree = i % 7;
    if (degree == 2 || degree == 6) continue;  // none after E and B
    const int note = kLowestNote + 12 * (i / 7) + kWhiteSemitones[degree] + 1;
    const int left = (i + 1) * w - blackWidth / 2;
    FillRect(dc, {left, 0, left + blackWidth, c.Height() / 2}, Down(note) ? kPressedKey : kBlack);
  }
  const SkinFontInfo& style = StyleNamed(widget, "tty");
  DrawTextLine(dc, {0, 0, kHoldSize, kHoldSize + 4}, "T", style, Align::Left, hold_ ? kHoldOn : kHoldOff, -1);
}

}  // namespace kr::gui
