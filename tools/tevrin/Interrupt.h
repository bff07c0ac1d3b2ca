// Ctrl-C as a request to end a long command early and tidily (summary
// printed, files finished, settings saved) rather than killing it.
#pragma once

namespace tevrin::tool {

void CatchInterrupt();
bool Interrupted();

}  // namespace tevrin::tool
