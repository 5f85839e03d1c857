// Helpers of the parameter tests: a parameter over a plain value, an
// observer that records what it hears into a shared log, and document
// trees built in code.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/container.h"
#include "document/controls.h"
#include "document/generic_parameter.h"
#include "registry/module_info.h"

using namespace kr;

namespace krtest {

class PlainParameter final : public generic_parameter {
 public:
  PlainParameter(int type, std::string value, std::string items = {})
      : type_(type), value_(std::move(value)), items_(std::move(items)) {}
  std::string ValueText() const override { return value_; }
  void SetValueText(std::string_view text) override {
    if (text == value_) return;
    value_ = std::string(text);
    AnnounceValue();
  }
  std::string Name() const override { return "Plain"; }
  int DataType() const override { return type_; }
  std::string ItemList() const override { return items_; }

 private:
  int type_;
  std::string value_;
  std::string items_;
};

struct Heard {
  std::string who;
  int code;
  void* mark;
  bool operator==(const Heard&) const = default;
};

// Records (who, code, mark) into a log it may share with other recorders.
class ParameterRecorder final : public Notifiable {
 public:
  ParameterRecorder(std::vector<Heard>& log, std::string who) : log_(log), who_(std::move(who)) {}
  void OnNotify(Notifier*, int code, void* data) override { log_.push_back({who_, code, data}); }

 private:
  std::vector<Heard>& log_;
  std::string who_;
};

std::unique_ptr<CContainer> MakeContainer(const std::string& title);
CContainer& AddContainer(CContainer& parent, const std::string& title);

// A legacy control of the given class with the control plugs ("Channel" ...
// "MIDI NRPN") of an entry owned by the test.
CControl& AddControl(CContainer& parent, const RuntimeClass& cls, const std::string& title);
const RuntimeClass& SliderClass();
const RuntimeClass& ComboClass();
const RuntimeClass& LedClass();
const RuntimeClass& PeakMeterClass();
const RuntimeClass& TextClass();

// An entry with one plug of each kind the mapping tests need.
Module_Info& PlugTestEntry();

}  // namespace krtest
