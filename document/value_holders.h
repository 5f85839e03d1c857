// Typed holders of module properties. A plug bound to one reads and writes
// its value text through it: enumerations and integers as "%d", numbers as
// "%.3f", texts unchanged.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "document/notifier.h"

namespace kr {

struct MetaData_none {};
struct MetaData_enum {
  std::string itemList;
};
struct MetaData_float {
  float minimum = 0.0f;
  float maximum = 10.0f;
};
struct MetaData_filename {
  std::string extensions;
};

class generic_variable {
 public:
  virtual ~generic_variable() = default;
  virtual std::string GetText() const = 0;
  virtual void SetText(std::string_view text) = 0;
};

namespace value_text {
inline std::string Format(short v) { return std::to_string(v); }
inline std::string Format(int v) { return std::to_string(v); }
inline std::string Format(bool v) { return v ? "1" : "0"; }
inline std::string Format(float v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", static_cast<double>(v));
  return buffer;
}
inline std::string Format(const std::string& v) { return v; }

inline void Parse(std::string_view t, short& v) { v = static_cast<short>(std::atoi(std::string(t).c_str())); }
inline void Parse(std::string_view t, int& v) { v = std::atoi(std::string(t).c_str()); }
inline void Parse(std::string_view t, bool& v) { v = std::atoi(std::string(t).c_str()) != 0; }
inline void Parse(std::string_view t, float& v) { v = static_cast<float>(std::atof(std::string(t).c_str())); }
inline void Parse(std::string_view t, std::string& v) { v = std::string(t); }
}  // namespace value_text

// A plain holder.
template <class T, class Meta>
class variable : public generic_variable {
 public:
  variable() = default;
  explicit variable(T initial, Meta meta = {}) : value_(std::move(initial)), meta_(std::move(meta)) {}

  const T& Get() const { return value_; }
  virtual void Set(const T& value) { value_ = value; }
  const Meta& MetaData() const { return meta_; }

  std::string GetText() const override { return value_text::Format(value_); }
  void SetText(std::string_view text) override {
    T v{};
    value_text::Parse(text, v);
    Set(v);
  }

 private:
  T value_{};
  Meta meta_{};
};

// A holder owned by a document object; tells its owner of every change.
template <class T, class Meta>
class variable_addin : public variable<T, Meta> {
 public:
  variable_addin(Notifier& owner, int code, T initial = {}, Meta meta = {})
      : variable<T, Meta>(std::move(initial), std::move(meta)), owner_(owner), code_(code) {}
  void Set(const T& value) override {
    if (value == this->Get()) return;
    variable<T, Meta>::Set(value);
    owner_.Notify(code_, this);
  }

 private:
  Notifier& owner_;
  int code_;
};

// Stores nothing: a placeholder where a holder is required.
template <class T, class Meta>
class variable_dummy : public generic_variable {
 public:
  std::string GetText() const override { return {}; }
  void SetText(std::string_view) override {}
};

}  // namespace kr
