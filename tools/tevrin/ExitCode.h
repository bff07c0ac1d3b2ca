// The tool's exit statuses, the same for every command so that scripts can
// tell a typing mistake from a missing camera from a failing one.
#pragma once

namespace tevrin::tool {

enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 1,     // unknown command, option or value
  kExitNoCamera = 2,  // no camera, or not the one asked for
  kExitFailure = 3,   // the SDK (or the system below it) refused
};

}  // namespace tevrin::tool
