#include "device/DeviceTrace.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tevrin::device {

void Trace(const char* format, ...) {
  char line[512];
  int prefix = std::snprintf(line, sizeof line, "[device:debug] ");
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line + prefix, sizeof line - prefix - 1, format, arguments);
  va_end(arguments);
  std::snprintf(line + std::strlen(line), 2, "\n");
  OutputDebugStringA(line);
}

}  // namespace tevrin::device
