#include "display/Display.h"

#include <cstdlib>
#include <memory>

#include "display/X11Display.h"

namespace tevrin::win32::display {

Display* Active() {
  // Never destroyed: windows may still change while the process exits.
  static Display* const display = []() -> Display* {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') return nullptr;
    return X11Display::Connect(name).release();
  }();
  return display;
}

}  // namespace tevrin::win32::display
