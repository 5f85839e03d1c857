// The line an edit box is typing: UTF-8 text, the caret and the selection
// (both byte offsets on character boundaries), and what typing and the
// editing keys do to them. No drawing here.
#pragma once

#include <cstddef>
#include <string>

namespace kr::gui {

class EditLine {
 public:
  // Starts over with text, all of it selected and the caret at its end.
  void Start(std::string text);
  const std::string& Text() const { return text_; }
  std::size_t Caret() const { return caret_; }
  // The selection is the text between the anchor and the caret.
  std::size_t SelectionBegin() const { return anchor_ < caret_ ? anchor_ : caret_; }
  std::size_t SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  bool HasSelection() const { return anchor_ != caret_; }

  // A typed character (a code point of 0x20 or more) replaces the selection.
  void Type(char32_t c);
  // Backspace and Delete remove the selection, else the character before
  // (after) the caret.
  void Backspace();
  void Delete();
  // Caret moves; with extend the selection grows from where it was.
  void Left(bool extend);
  void Right(bool extend);
  void Home(bool extend);
  void End(bool extend);
  // The caret at a byte offset (held to the text, moved back to a character start).
  void PlaceCaret(std::size_t offset, bool extend);

 private:
  void EraseSelection();
  std::size_t Previous(std::size_t at) const;
  std::size_t Next(std::size_t at) const;
  void Move(std::size_t to, bool extend);

  std::string text_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
};

}  // namespace kr::gui
