// A DLGTEMPLATEEX read into the dialog and its controls, texts as UTF-8.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace tevrin::win32 {

struct DialogItemTemplate {
  DWORD style;
  DWORD exStyle;
  RECT rect;  // dialog units: left, top, width, height as right and bottom
  int id;
  std::string className;
  std::string text;
};

struct DialogTemplate {
  DWORD style;
  DWORD exStyle;
  RECT rect;
  std::string caption;
  std::vector<DialogItemTemplate> items;
};

// Nothing when the bytes are not a whole DLGTEMPLATEEX.
std::optional<DialogTemplate> ReadDialogTemplate(const unsigned char* data, size_t size);

}  // namespace tevrin::win32
