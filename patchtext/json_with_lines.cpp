#include "patchtext/json_with_lines.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "patchtext/patch_text_error.h"

namespace kr {

namespace patchtext {

namespace {

using json = nlohmann::json;

// Where the parser has got to: the offset of the last character that was not
// white space (the lexer reads one character past a number, which may be a
// line break; the last significant character is still on the number's line).
struct ReadPosition {
  const char* begin = nullptr;
  std::size_t lastSignificant = 0;
};

// A character iterator that tells ReadPosition what the parser reads.
class TrackingIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  TrackingIterator(const char* p, ReadPosition* position) : p_(p), position_(position) {}
  reference operator*() const {
    const char c = *p_;
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
      position_->lastSignificant = static_cast<std::size_t>(p_ - position_->begin);
    return *p_;
  }
  TrackingIterator& operator++() {
    ++p_;
    return *this;
  }
  TrackingIterator operator++(int) {
    TrackingIterator old = *this;
    ++p_;
    return old;
  }
  bool operator==(const TrackingIterator& other) const { return p_ == other.p_; }
  bool operator!=(const TrackingIterator& other) const { return p_ != other.p_; }

 private:
  const char* p_;
  ReadPosition* position_;
};

// Builds the document like nlohmann's own DOM parser and notes the line of
// each value under its JSON pointer.
class LineNotingBuilder {
 public:
  LineNotingBuilder(JsonWithLines& out, const ReadPosition& position, std::string_view text)
      : out_(out), position_(position) {
    lineStarts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') lineStarts_.push_back(i + 1);
  }

  bool null() { return Add(nullptr); }
  bool boolean(bool v) { return Add(v); }
  bool number_integer(json::number_integer_t v) { return Add(v); }
  bool number_unsigned(json::number_unsigned_t v) { return Add(v); }
  bool number_float(json::number_float_t v, const json::string_t&) { return Add(v); }
  bool string(json::string_t& v) { return Add(v); }
  bool binary(json::binary_t& v) { return Add(json::binary(v)); }

  bool start_object(std::size_t) {
    json* made = Add(json::object());
    stack_.push_back({made, PointerOfNew()});
    return true;
  }
  bool key(json::string_t& k) {
    key_ = k;
    return true;
  }
  bool end_object() {
    stack_.pop_back();
    return true;
  }
  bool start_array(std::size_t) {
    json* made = Add(json::array());
    stack_.push_back({made, PointerOfNew()});
    return true;
  }
  bool end_array() {
    stack_.pop_back();
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
    std::string what = e.what();
    // "[json.exception.parse_error.101] parse error at line 3, column 5: ..." -> the part after the position
    const std::size_t colon = what.find(": ");
    if (colon != std::string::npos) what = what.substr(colon + 2);
    throw PatchTextError(CurrentLine(), what);
  }

 private:
  struct Level {
    json* value;
    std::string pointer;
  };

  int CurrentLine() const {
    const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position_.lastSignificant);
    return static_cast<int>(it - lineStarts_.begin());
  }

  static std::string Escape(const std::string& token) {
    std::string e;
    for (char c : token) {
      if (c == '~') e += "~0";
      else if (c == '/') e += "~1";
      else e += c;
    }
    return e;
  }

  template <class V>
  json* Add(V&& v) {
    json* made;
    if (stack_.empty()) {
      out_.value = json(std::forward<V>(v));
      made = &out_.value;
      newPointer_.clear();
    } else if (stack_.back().value->is_array()) {
      json& array = *stack_.back().value;
      newPointer_ = stack_.back().pointer + "/" + std::to_string(array.size());
      array.push_back(json(std::forward<V>(v)));
      made = &array.back();
    } else {
      newPointer_ = stack_.back().pointer + "/" + Escape(key_);
      json& slot = (*stack_.back().value)[key_];
      slot = json(std::forward<V>(v));
      made = &slot;
    }
    out_.lines[newPointer_] = CurrentLine();
    return made;
  }
  bool Add(std::nullptr_t) {
    Add(json());
    return true;
  }
  const std::string& PointerOfNew() const { return newPointer_; }

  JsonWithLines& out_;
  const ReadPosition& position_;
  std::vector<std::size_t> lineStarts_;
  std::vector<Level> stack_;
  std::string key_;
  std::string newPointer_;
};

}  // namespace

int JsonWithLines::LineOf(std::string_view pointer) const {
  // The value itself, else the nearest enclosing one that has a line.
  std::string p(pointer);
  for (;;) {
    if (auto it = lines.find(p); it != lines.end()) return it->second;
    const std::size_t slash = p.find_last_of('/');
    if (slash == std::string::npos) return 0;
    p.resize(slash);
  }
}

JsonWithLines ParseJsonWithLines(std::string_view text) {
  JsonWithLines out;
  ReadPosition position{text.data(), 0};
  LineNotingBuilder builder(out, position, text);
  TrackingIterator first(text.data(), &position);
  TrackingIterator last(text.data() + text.size(), &position);
  json::sax_parse(first, last, &builder);
  return out;
}

}  // namespace patchtext

}  // namespace kr
