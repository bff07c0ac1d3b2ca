// The one translation from POSIX errno values to Windows error codes, so every
// entry point reports the code a Windows caller tests for.
#pragma once

#include <windows.h>

namespace tevrin::win32 {

DWORD ErrorFromErrno(int error);

// SetLastError(ErrorFromErrno(error)); for the common failure return path.
void SetLastErrorFromErrno(int error);

}  // namespace tevrin::win32
