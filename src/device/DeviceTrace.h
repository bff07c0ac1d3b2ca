// Diagnostic lines of the device layer, tagged "[device:debug]" for the
// platform's trace sink (silent unless TEVRIN_LOG asks for them).
#pragma once

namespace tevrin::device {

[[gnu::format(printf, 1, 2)]] void Trace(const char* format, ...);

}  // namespace tevrin::device
