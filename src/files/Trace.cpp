#include "files/Trace.h"

#include <windows.h>

#include <string>

namespace tevrin::files {

void TraceCodecMessage(const char* level, const char* library, const char* message) {
  std::string line = std::string("[files:") + level + "] " + library + ": " + (message ? message : "");
  if (line.empty() || line.back() != '\n') line += '\n';
  OutputDebugStringA(line.c_str());
}

}  // namespace tevrin::files
