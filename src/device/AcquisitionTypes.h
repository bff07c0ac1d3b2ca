// Values the device object's acquisition takes and gives. Their numbers are
// the ones the exports and the registry carry, so the enumerators keep them.
#pragma once

#include <cstdint>

namespace tevrin::device {

// What WaitFrame found.
enum class WaitResult : int {
  kError = 1,       // the acquisition failed (camera lost, stalled, gone quiet) and ended
  kNoNewFrame = 2,  // nothing new within the wait
  kNewFrame = 3,    // a frame has landed that nobody has copied out yet
};

// How long an acquisition runs; any other number behaves as kContinuous.
enum class CaptureMode : int {
  kContinuous = 0,  // frames until the capture is stopped
  kSingle = 1,      // one frame, then the thread ends
  kCounted = 2,     // one triggered frame, counted, then the thread ends
  kHeaderOnly = 3,  // one frame header for its counter, no image
};

// Trigger modes of SetTriggerMode. Some products take further variants
// (2, 3, and bit 7 on some boards); those travel as their numbers.
enum class TriggerMode : int {
  kFreeRun = 0,
  kExternal = 1,
};

// Why a frame ended. A ring slot keeps the status of the frame last meant
// for it; only a complete frame moves the ring on.
enum class FrameStatus : int {
  kNone = 0,            // no frame has ended in this slot yet
  kComplete = 1,        // the whole image arrived
  kShortTransfer = 2,   // the image came with fewer bytes than the frame has
  kTimeout = 3,         // the camera sent nothing within the wait
  kAborted = 4,         // the read was aborted, by a stop with abort
  kUnplugged = 5,       // the camera is gone
  kHeaderFailed = 6,    // the camera's frame header was refused or arrived short
  kTransferFailed = 7,  // the driver or the camera failed an image transfer
};

// Counts since the camera was opened, read from any thread.
struct FrameStatistics {
  uint64_t completed = 0;  // frames that arrived whole
  uint64_t failed = 0;     // frames that ended in any other status
  uint64_t overruns = 0;   // whole frames overwritten in the ring before anyone took them
  uint64_t timeouts = 0;   // failed frames that timed out (counted in failed too)
};

}  // namespace tevrin::device
