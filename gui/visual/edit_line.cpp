#include "gui/visual/edit_line.h"

#include <algorithm>

#include "base/utf8.h"

namespace kr::gui {

namespace {
bool Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

void EditLine::Start(std::string text) {
  text_ = std::move(text);
  anchor_ = 0;
  caret_ = text_.size();
}

std::size_t EditLine::Previous(std::size_t at) const {
  if (at == 0) return 0;
  --at;
  while (at > 0 && Continuation(text_[at])) --at;
  return at;
}

std::size_t EditLine::Next(std::size_t at) const {
  if (at >= text_.size()) return text_.size();
  ++at;
  while (at < text_.size() && Continuation(text_[at])) ++at;
  return at;
}

void EditLine::Move(std::size_t to, bool extend) {
  caret_ = to;
  if (!extend) anchor_ = to;
}

void EditLine::EraseSelection() {
  const std::size_t b = SelectionBegin(), e = SelectionEnd();
  text_.erase(b, e - b);
  caret_ = anchor_ = b;
}

void EditLine::Type(char32_t c) {
  if (c < 0x20 || c == 0x7F || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return;
  EraseSelection();
  std::string bytes;
  utf8::Append(bytes, c);
  text_.insert(caret_, bytes);
  caret_ = anchor_ = caret_ + bytes.size();
}

void EditLine::Backspace() {
  if (!HasSelection()) anchor_ = Previous(caret_);
  EraseSelection();
}

void EditLine::Delete() {
  if (!HasSelection()) anchor_ = Next(caret_);
  EraseSelection();
}

void EditLine::Left(bool extend) {
  if (HasSelection() && !extend) return Move(SelectionBegin(), false);
  Move(Previous(caret_), extend);
}

void EditLine::Right(bool extend) {
  if (HasSelection() && !extend) return Move(SelectionEnd(), false);
  Move(Next(caret_), extend);
}

void EditLine::Home(bool extend) { Move(0, extend); }
void EditLine::End(bool extend) { Move(text_.size(), extend); }

void EditLine::PlaceCaret(std::size_t offset, bool extend) {
  offset = std::min(offset, text_.size());
  while (offset > 0 && offset < text_.size() && Continuation(text_[offset])) --offset;
  Move(offset, extend);
}

}  // namespace kr::gui
