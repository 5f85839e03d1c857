#include "formats/skin/style_file.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "formats/skin/text_lines.h"

namespace kr::skin {

namespace {

// Tokens: a quoted token runs to its matching quote (and loses the quotes),
// any other to the first space or comma; ";" starts a comment.
std::vector<std::string> Tokens(std::string_view line) {
  std::vector<std::string> tokens;
  std::string_view rest = TrimLeft(line);
  while (!rest.empty()) {
    std::string_view token;
    std::size_t next;
    if (rest.front() == '"' || rest.front() == '\'') {
      const std::size_t close = rest.find(rest.front(), 1);
      next = close == std::string_view::npos ? rest.size() : close + 1;
      token = Trim(rest.substr(0, next));
      if (token.size() >= 2) token = token.substr(1, token.size() - 2);
      else token = {};
      if (next < rest.size() && (rest[next] == ' ' || rest[next] == ',')) ++next;
    } else {
      const std::size_t end = rest.find_first_of(" ,");
      token = Trim(rest.substr(0, end));
      if (!token.empty() && token.front() == ';') break;
      next = end == std::string_view::npos ? rest.size() : end + 1;
    }
    tokens.emplace_back(token);
    rest = TrimLeft(rest.substr(next));
  }
  return tokens;
}

char FirstLower(const std::string& s) {
  return s.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(s.front())));
}

// "#" and hexadecimal digits, or a decimal number; used as 0x00BBGGRR as it stands.
std::int32_t ColourValue(const std::string& s) {
  if (!s.empty() && s.front() == '#') return static_cast<std::int32_t>(std::strtoul(s.c_str() + 1, nullptr, 16));
  return static_cast<std::int32_t>(std::strtol(s.c_str(), nullptr, 10));
}

std::unique_ptr<SkinFontInfo> NewStyle(const std::string& name) {
  auto style = std::make_unique<SkinFontInfo>();
  style->name = name;
  std::transform(style->name.begin(), style->name.end(), style->name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  style->face = "Arial";
  style->size = 12;
  style->colour = 0xFFFFFF;
  style->background = -1;
  style->flags = 0;
  return style;
}

void Apply(SkinFontInfo& s, const std::vector<std::string>& t, const FontFamilyLookup& families) {
  const std::string& key = t[0];
  if (t.size() < 2) return;
  const std::string& v = t[1];
  if (key == "font-family") {
    for (std::size_t i = 1; i < t.size(); ++i)
      if (auto spelled = families ? families(t[i]) : std::nullopt) {
        s.face = *spelled;
        break;
      }
  } else if (key == "font-size") {
    s.size = static_cast<std::int32_t>(std::clamp(std::strtol(v.c_str(), nullptr, 10), -4096L, 4096L));
  } else if (key == "font-color") {
    s.colour = ColourValue(v);
  } else if (key == "background-color") {
    s.background = ColourValue(v);
  } else if (key == "text-align") {
    s.flags &= ~(kStyleCentre | kStyleRight);
    if (FirstLower(v) == 'r') s.flags |= kStyleRight;
    else if (FirstLower(v) == 'c') s.flags |= kStyleCentre;
  } else if (key == "text-decoration") {
    if (FirstLower(v) == 'u') s.flags |= kStyleUnderline;
  } else if (key == "font-style") {
    if (FirstLower(v) == 'i') s.flags |= kStyleItalic;
  } else if (key == "font-weight") {
    const char c = FirstLower(v);
    if (c == 'b') {
      s.flags |= kStyleBold;
    } else if (c == 'l') {
      s.flags |= kStyleLight;
    } else {
      const long weight = std::strtol(v.c_str(), nullptr, 10);
      if (weight != 0 && weight < 301) s.flags |= kStyleLight;
      if (weight > 550) s.flags |= kStyleBold;
    }
  }
}

}  // namespace

std::vector<std::unique_ptr<SkinFontInfo>> ParseStyleFile(std::string_view text, const FontFamilyLookup& families) {
  std::vector<std::unique_ptr<SkinFontInfo>> styles;
  SkinFontInfo scratch;  // lines before the first category
  ForEachLine(text, [&](std::string_view line) {
    const std::vector<std::string> t = Tokens(line);
    if (t.empty()) return;
    if (t[0] == "FONT_CATEGORY") {
      if (t.size() >= 2) styles.push_back(NewStyle(t[1]));
      return;
    }
    Apply(styles.empty() ? scratch : *styles.back(), t, families);
  });
  return styles;
}

}  // namespace kr::skin
