// The audio object a library module is being made for, per thread. While
// "main" or "makeModule" runs, the library may call back before its record
// names the object; such a call finds the object here. Per thread, so that
// plug-in copies making modules at the same time never see each other's.
#pragma once

namespace kr {

class ug_plugin;

// The innermost object being made on this thread; null when none.
ug_plugin* ObjectBeingCreated();

class ObjectBeingCreatedScope {
 public:
  explicit ObjectBeingCreatedScope(ug_plugin* object);
  ~ObjectBeingCreatedScope();
  ObjectBeingCreatedScope(const ObjectBeingCreatedScope&) = delete;
  ObjectBeingCreatedScope& operator=(const ObjectBeingCreatedScope&) = delete;

 private:
  ug_plugin* object_;
};

}  // namespace kr
