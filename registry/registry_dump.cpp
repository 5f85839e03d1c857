#include "registry/registry_dump.h"

#include <cstdio>

#include "registry/module_registry.h"

namespace kr {

namespace {

const char* DirectionName(PlugDirection d) {
  switch (d) {
    case DR_IN: return "in";
    case DR_OUT: return "out";
    case DR_CONTAINER_IO: return "container-io";
    case DR_PARAMETER: return "parameter";
  }
  return "?";
}

const char* TypeName(PlugDataType t) {
  switch (t) {
    case DT_ENUM: return "enum";
    case DT_TEXT: return "text";
    case DT_MIDI: return "midi";
    case DT_DOUBLE: return "double";
    case DT_BOOL: return "bool";
    case DT_AUDIO: return "audio";
    case DT_FLOAT: return "float";
    case DT_INT: return "int";
  }
  return "?";
}

// Quoted, with quotes, backslashes and control characters escaped.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
      out.append(escaped);
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", value);
  return text;
}

void DumpPlug(std::string& out, const char* kind, const InterfaceObject& p) {
  out.append("  ").append(kind).append(DirectionName(p.direction)).append(" ").append(TypeName(p.dataType));
  out.append(" ").append(Quoted(p.name));
  if (!p.defaultText.empty()) out.append(" default ").append(Quoted(p.defaultText));
  if (!p.listText.empty()) out.append(" list ").append(Quoted(p.listText));
  if (p.flags != 0) out.append(" flags ").append(Hex(p.flags));
  if (!p.hint.empty()) out.append(" hint ").append(Quoted(p.hint));
  out.push_back('\n');
}

}  // namespace

std::string DumpRegistry(const ModuleRegistry& registry) {
  std::string out;
  for (const auto& [name, entry] : registry.Entries()) {
    out.append(Quoted(name));
    if (entry->moduleNumber >= 0) out.append(" number ").append(std::to_string(entry->moduleNumber));
    out.append(" flags ").append(Hex(static_cast<std::uint32_t>(entry->flags)));
    if (!entry->groupText.empty()) out.append(" group ").append(Quoted(entry->groupText));
    if (entry->placeholder) out.append(" placeholder");
    if (entry->audioFactory == nullptr) out.append(" no-audio");
    out.push_back('\n');
    if (const auto* gui = dynamic_cast<const Module_Info2*>(entry.get()))
      for (const InterfaceObject& p : gui->guiPlugs) DumpPlug(out, "gui ", p);
    for (const InterfaceObject& p : entry->plugs) DumpPlug(out, "", p);
  }
  return out;
}

}  // namespace kr
