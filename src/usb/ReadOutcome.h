// Why a stream read (frame header, image, auxiliary block or memory-window
// stream) ended: a failed read alone cannot tell an unplug from a time-out.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tevrin::usb {

enum class ReadOutcome : uint8_t {
  kDone,        // every byte asked for arrived
  kShort,       // a transfer brought fewer bytes than asked
  kTimedOut,    // nothing came within the wait; the transfer was aborted
  kAborted,     // the pipe was aborted while the read waited
  kDeviceGone,  // the camera was unplugged, or its path no longer opens
  kRefused,     // the driver or the camera failed the transfer (a stall)
};

// The outcome a driver error stands for.
inline ReadOutcome OutcomeOfError(DWORD error) {
  if (error == ERROR_DEVICE_NOT_CONNECTED) return ReadOutcome::kDeviceGone;
  if (error == ERROR_OPERATION_ABORTED) return ReadOutcome::kAborted;
  return ReadOutcome::kRefused;
}

}  // namespace tevrin::usb
