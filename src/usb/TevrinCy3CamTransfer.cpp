// Bulk transfers and pipe requests of the FX3 controller.
//
// A transfer that is still pending when it is given up is aborted and waited
// for before its event, request header and OVERLAPPED record are released:
// the driver writes into all three until the request completes.
#include <tevrin/hardware/Fx3Requests.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "usb/ScopedHandle.h"
#include "usb/TevrinCy3Cam.h"

namespace hw = tevrin::hardware;
using tevrin::usb::ReadOutcome;
using tevrin::usb::ScopedHandle;

namespace {

constexpr uint32_t kArmedWaitMs = 5000;
constexpr uint32_t kWriteWaitMs = 3000;
constexpr uint32_t kBufferedWaitMs = 3000;
constexpr uint32_t kAbortGraceMs = 50;
constexpr uint32_t kHeaderBytes = sizeof(hw::SingleTransfer);

ScopedHandle NewAutoResetEvent() {
  return ScopedHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
}

// What the status words of a completed transfer say went wrong.
ReadOutcome OutcomeOfStatus(const hw::SingleTransfer& header) {
  if (header.ntStatus == hw::kNtStatusNoSuchDevice || header.usbdStatus == hw::kUsbdStatusDeviceGone)
    return ReadOutcome::kDeviceGone;
  if (header.ntStatus == hw::kNtStatusCancelled || header.usbdStatus == hw::kUsbdStatusCanceled)
    return ReadOutcome::kAborted;
  return ReadOutcome::kRefused;
}

bool Signalled(HANDLE event, DWORD waitMs) {
  return WaitForSingleObject(event, waitMs) == WAIT_OBJECT_0;
}

// Ends every transfer on `endpoint` of `handle`; waits for the abort itself.
void AbortPipe(HANDLE handle, uint8_t endpoint) {
  if (!handle) return;
  ScopedHandle event = NewAutoResetEvent();
  if (!event) return;
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.get();
  DWORD returned = 0;
  if (!DeviceIoControl(handle, hw::kIoctlAbortPipe, &endpoint, sizeof(endpoint), nullptr, 0, &returned, &overlapped) &&
      GetLastError() == ERROR_IO_PENDING)
    WaitForSingleObject(event.get(), INFINITE);
}

}  // namespace

int CTevrinCy3Cam::AbortImagePipe() {
  AbortPipe(StreamHandle(), hw::kEndpointImageIn);
  return 1;
}

// Gives up a pending transfer: the image-pipe abort ends the usual case (a
// read on 0x81); if the request is still pending after a short grace its own
// pipe is aborted and cancelled, and only then is it waited for to the end.
// True when it ended within the grace.
bool CTevrinCy3Cam::DrainPending(HANDLE handle, uint8_t endpoint, HANDLE event) {
  AbortImagePipe();
  if (Signalled(event, kAbortGraceMs)) return true;
  AbortPipe(handle, endpoint);
  CancelIo(handle);
  WaitForSingleObject(event, INFINITE);
  return false;
}

ReadOutcome CTevrinCy3Cam::Direct(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint, uint32_t* count,
                                  uint32_t waitMs) {
  if (count) *count = 0;
  if (length > hw::kMaxBulkBytes || !handle || !transferBlock_ || (!buffer && length)) return ReadOutcome::kRefused;
  ScopedHandle event = NewAutoResetEvent();
  std::unique_ptr<hw::SingleTransfer> header(new (std::nothrow) hw::SingleTransfer{});
  if (!event || !header) return ReadOutcome::kRefused;
  header->endpointAddress = endpoint;
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.get();
  DWORD returned = 0;
  const BOOL completed = DeviceIoControl(handle, hw::kIoctlDirectTransfer, header.get(), kHeaderBytes, buffer, length,
                                         &returned, &overlapped);
  const DWORD startError = completed ? 0 : GetLastError();
  RecordStartError(startError);
  SetLastError(0);
  if (startError == ERROR_IO_PENDING) {
    if (!Signalled(event.get(), waitMs)) {
      DrainPending(handle, endpoint, event.get());
      return ReadOutcome::kTimedOut;
    }
  } else if (startError != 0) {
    return tevrin::usb::OutcomeOfError(startError);
  }
  DWORD transferred = 0;
  if (!GetOverlappedResult(handle, &overlapped, &transferred, FALSE))
    return tevrin::usb::OutcomeOfError(GetLastError());
  if (count) *count = transferred;
  if (header->ntStatus != hw::kNtStatusSuccess || header->usbdStatus != hw::kUsbdStatusSuccess) {
    Sleep(1);
    return OutcomeOfStatus(*header);
  }
  return ReadOutcome::kDone;
}

ReadOutcome CTevrinCy3Cam::DirectWhole(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint,
                                       uint32_t waitMs) {
  uint32_t count = 0;
  const ReadOutcome outcome = Direct(handle, buffer, length, endpoint, &count, waitMs);
  return outcome == ReadOutcome::kDone && count != length ? ReadOutcome::kShort : outcome;
}

ReadOutcome CTevrinCy3Cam::Armed(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint, uint32_t* count) {
  if (count) *count = 0;
  const ReadOutcome armed = SendStreamArm(handle);
  if (armed != ReadOutcome::kDone) return armed;
  return Direct(handle, buffer, length, endpoint, count, kArmedWaitMs);
}

int CTevrinCy3Cam::TransferDirectArmed(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint,
                                       uint32_t* count) {
  return Armed(handle, buffer, length, endpoint, count) == ReadOutcome::kDone;
}

int CTevrinCy3Cam::TransferDirect(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint, uint32_t* count,
                                  uint32_t waitMs) {
  return Direct(handle, buffer, length, endpoint, count, waitMs) == ReadOutcome::kDone;
}

int CTevrinCy3Cam::TransferDirectWrite(HANDLE handle, const void* buffer, uint32_t length, uint8_t endpoint,
                                       uint32_t* count) {
  // The driver only reads an outgoing buffer.
  return Direct(handle, const_cast<void*>(buffer), length, endpoint, count, kWriteWaitMs) == ReadOutcome::kDone;
}

int CTevrinCy3Cam::TransferBuffered(HANDLE handle, void* data, uint32_t length, uint8_t endpoint, uint32_t* count) {
  if (count) *count = 0;
  if (length > hw::kMaxBulkBytes || !transferBlock_ || !handle || (!data && length)) return 0;
  uint8_t* block = transferBlock_.get();
  const DWORD blockBytes = length + kHeaderBytes;
  std::memset(block, 0, blockBytes);
  hw::SingleTransfer header{};
  header.endpointAddress = endpoint;
  header.bufferOffset = kHeaderBytes;
  header.bufferLength = length;
  std::memcpy(block, &header, kHeaderBytes);
  if (length) std::memcpy(block + kHeaderBytes, data, length);

  ScopedHandle event = NewAutoResetEvent();
  if (!event) return 0;
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.get();
  DWORD returned = 0;
  const BOOL completed =
      DeviceIoControl(handle, hw::kIoctlBufferedTransfer, block, blockBytes, block, blockBytes, &returned, &overlapped);
  const DWORD error = completed ? 0 : GetLastError();
  if (error == ERROR_IO_PENDING) {
    // A transfer that still ends within the grace after the abort counts by its result.
    if (!Signalled(event.get(), kBufferedWaitMs) && !DrainPending(handle, endpoint, event.get())) return 0;
  } else if (error != 0) {
    return 0;
  }
  if (!GetOverlappedResult(handle, &overlapped, &returned, FALSE)) return 0;
  const uint32_t dataBytes = returned >= kHeaderBytes ? returned - kHeaderBytes : 0;
  if (dataBytes <= length) {
    if (dataBytes) std::memcpy(data, block + kHeaderBytes, dataBytes);
    if (count) *count = dataBytes;
  }
  return 1;
}

int CTevrinCy3Cam::DriverRequest(uint32_t code, void* in, uint32_t inBytes, void* out, uint32_t outBytes) {
  const auto device = OpenSelectedDevice(false);
  if (!device) return 0;
  DWORD returned = 0;
  return DeviceIoControl(device.get(), code, in, inBytes, out, outBytes, &returned, nullptr) != FALSE;
}

int CTevrinCy3Cam::ResetPipe(uint8_t endpoint) {
  return DriverRequest(hw::kIoctlResetPipe, &endpoint, sizeof(endpoint), nullptr, 0);
}

int CTevrinCy3Cam::ResetParentPort() {
  return DriverRequest(hw::kIoctlResetParentPort, nullptr, 0, nullptr, 0);
}

int CTevrinCy3Cam::GetDeviceSpeed(uint32_t* speed) {
  if (!speed) return 0;
  uint32_t value = 0;
  if (!DriverRequest(hw::kIoctlGetDeviceSpeed, &value, sizeof(value), &value, sizeof(value))) return 0;
  *speed = value;
  return 1;
}
