// One SDK handle for the length of a command, and the tool's way of reporting
// what the SDK refused.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "Arguments.h"

namespace tevrin::tool {

// "Transfer" for 8; "unknown" for codes the SDK does not define.
const char* ErrorName(int code);

// "No such file or directory" for ERROR_PATH_NOT_FOUND.
std::string SystemReason(DWORD error);

// Pops every code recorded on the handle so far.
void DrainErrors(int handle);

class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  int Handle() const { return handle_; }
  operator int() const { return handle_; }

  // Selects camera `camera.device` (from 0) and, when given, the
  // colour mode in bits per pixel and the preview's poll delay in ms. Prints
  // why and returns kExitNoCamera when there is no such camera, kExitFailure
  // when it cannot be opened or refuses the mode or delay; kExitOk otherwise.
  int Open(const CameraChoice& camera);

  // Prints "tevrin: <what> failed: error N (Name)" with the newest recorded
  // code, and ": <reason>" when a system error code is given, and returns
  // kExitFailure.
  int Fail(const std::string& what, DWORD systemError = 0);

  // Forgets the codes recorded so far, so that the next Fail reports the
  // call that failed rather than an older one.
  void ClearErrors();

 private:
  int handle_ = 0;
};

}  // namespace tevrin::tool
