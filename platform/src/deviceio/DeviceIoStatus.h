// What OVERLAPPED.Internal holds for a device request.
#pragma once

#include <windows.h>

namespace tevrin::win32 {

// While the request is in flight (STATUS_PENDING on Windows). Once complete,
// Internal holds the request's Win32 error code (0 for success) rather than
// an NTSTATUS; GetOverlappedResult reads it back either way.
inline constexpr ULONG_PTR kIoStatusPending = 0x103;

}  // namespace tevrin::win32
