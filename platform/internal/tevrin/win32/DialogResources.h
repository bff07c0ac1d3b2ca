// Dialog templates compiled into a module by platform/tools/rc_compiler.py.
// The generated source registers them when its module loads and withdraws
// them when it unloads; FindResource finds them by the module's handle.
#pragma once

#include <windows.h>

#include <cstddef>

extern "C" {

struct TevrinDialogResource {
  UINT id;           // numeric name, or 0 with `name`
  const char* name;  // upper-case string name, or null
  LANGID language;
  const unsigned char* data;  // DLGTEMPLATEEX
  size_t size;
};

// `module` is the module's Windows name as GetModuleHandleA takes it.
void WINAPI TevrinRegisterDialogResources(const char* module, const TevrinDialogResource* resources, size_t count);
void WINAPI TevrinUnregisterDialogResources(const TevrinDialogResource* resources);
}

namespace tevrin::win32 {

class DialogResourceRegistration {
 public:
  DialogResourceRegistration(const char* module, const TevrinDialogResource* resources, size_t count)
      : resources_(resources) {
    TevrinRegisterDialogResources(module, resources, count);
  }
  ~DialogResourceRegistration() { TevrinUnregisterDialogResources(resources_); }
  DialogResourceRegistration(const DialogResourceRegistration&) = delete;
  DialogResourceRegistration& operator=(const DialogResourceRegistration&) = delete;

 private:
  const TevrinDialogResource* resources_;
};

}  // namespace tevrin::win32
