// Messages of the codec libraries go to the SDK's trace sink rather than to
// the application's standard error stream.
#pragma once

namespace tevrin::files {

// `level` is a trace level name ("warn", "debug"); `library` names the codec.
void TraceCodecMessage(const char* level, const char* library, const char* message);

}  // namespace tevrin::files
