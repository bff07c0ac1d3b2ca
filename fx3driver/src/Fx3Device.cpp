#include "Fx3Device.h"

#include <algorithm>
#include <cstring>

#include "UsbStatusCodes.h"

namespace tevrin::fx3driver {

namespace hw = tevrin::hardware;
using win32::IoRequest;

namespace {

constexpr size_t kHeaderBytes = sizeof(hw::SingleTransfer);
// A request block asking for no time-out still must not wait for ever on a dead device.
constexpr unsigned kDefaultControlTimeoutMs = hw::kControlTimeoutSeconds * 1000;

}  // namespace

void Fx3Device::Submit(const std::shared_ptr<IoRequest>& request) {
  auto* in = static_cast<uint8_t*>(request->in());
  auto* out = static_cast<uint8_t*>(request->out());
  DWORD error = ERROR_INVALID_PARAMETER;
  switch (request->code()) {
    case hw::kIoctlControlTransfer:
      error = ControlTransfer(*request);
      break;
    case hw::kIoctlDirectTransfer: {
      if (request->inSize() < kHeaderBytes) break;
      auto* header = reinterpret_cast<hw::SingleTransfer*>(in);
      StartBulk(request, header, out, request->outSize(), 0);
      return;
    }
    case hw::kIoctlBufferedTransfer: {
      if (request->inSize() < kHeaderBytes || request->outSize() < kHeaderBytes) break;
      auto* header = reinterpret_cast<hw::SingleTransfer*>(in);
      const bool read = header->endpointAddress & 0x80;
      const size_t room = (read ? request->outSize() : request->inSize()) - kHeaderBytes;
      if (header->bufferLength > room) break;
      StartBulk(request, header, (read ? out : in) + kHeaderBytes, header->bufferLength, kHeaderBytes);
      return;
    }
    case hw::kIoctlAbortPipe:
    case hw::kIoctlResetPipe:
    case hw::kIoctlResetParentPort:
      error = RecoverPipe(*request);
      break;
    case hw::kIoctlGetDeviceSpeed:
      error = DeviceSpeed(*request);
      if (error == ERROR_SUCCESS) return;
      break;
    default:
      error = ERROR_INVALID_FUNCTION;
      break;
  }
  // The control transfer has set the byte count itself.
  if (!request->IsComplete()) request->Complete(error, 0);
}

void Fx3Device::Cancel(const std::shared_ptr<IoRequest>& request) {
  device_->CancelBulk(request.get());
}

DWORD Fx3Device::ControlTransfer(IoRequest& request) {
  if (request.inSize() < kHeaderBytes || request.outSize() < kHeaderBytes) return ERROR_INVALID_PARAMETER;
  hw::ControlRequestBlock block{};
  std::memcpy(&block, request.in(), std::min<size_t>(request.inSize(), sizeof(block)));
  const hw::SingleTransfer& header = block.header;
  const size_t room = std::min(request.inSize(), request.outSize()) - kHeaderBytes;
  if (header.bufferOffset != kHeaderBytes || header.bufferLength > hw::kControlDataBytes ||
      header.bufferLength > room) {
    return ERROR_INVALID_PARAMETER;
  }
  const ControlSetup setup{static_cast<uint8_t>(header.bmRequestType & ~hw::kRequestTypeIgnoredBits),
                           header.bRequest, header.wValue, header.wIndex};
  const unsigned timeoutMs = header.timeoutSeconds == 0 ? kDefaultControlTimeoutMs : header.timeoutSeconds * 1000u;
  UsbResult result = device_->Control(setup, {block.data, header.bufferLength}, timeoutMs);
  WriteStatuses(block.header, result.status);
  const size_t dataBytes = result.status == UsbStatus::kSuccess ? std::min<size_t>(result.bytes, header.bufferLength) : 0;
  // The same block goes back, its statuses and reply filled in; the count includes the header.
  std::memcpy(request.out(), &block, kHeaderBytes + dataBytes);
  const DWORD error = Win32Error(result.status);
  request.Complete(error, static_cast<DWORD>(kHeaderBytes + dataBytes));
  return error;
}

void Fx3Device::StartBulk(const std::shared_ptr<IoRequest>& request, hw::SingleTransfer* header, uint8_t* data,
                          size_t length, uint32_t headerBytes) {
  BulkTransfer transfer;
  transfer.endpoint = header->endpointAddress;
  transfer.data = data;
  transfer.length = length;
  transfer.tag = request.get();
  transfer.done = [request, header, headerBytes](UsbResult result) {
    WriteStatuses(*header, result.status);
    const DWORD error = Win32Error(result.status);
    request->Complete(error, error == ERROR_SUCCESS ? static_cast<DWORD>(result.bytes + headerBytes) : 0);
  };
  device_->SubmitBulk(std::move(transfer));
}

DWORD Fx3Device::RecoverPipe(const IoRequest& request) {
  if (request.code() == hw::kIoctlResetParentPort) return Win32Error(device_->ResetPort());
  if (request.inSize() < 1) return ERROR_INVALID_PARAMETER;
  const uint8_t endpoint = *static_cast<const uint8_t*>(request.in());
  if (request.code() == hw::kIoctlResetPipe) return Win32Error(device_->ClearHalt(endpoint));
  return Win32Error(device_->AbortEndpoint(endpoint));
}

DWORD Fx3Device::DeviceSpeed(IoRequest& request) {
  if (request.outSize() < sizeof(uint32_t)) return ERROR_INVALID_PARAMETER;
  uint32_t speed = 0;
  if (DWORD error = Win32Error(device_->Speed(speed)); error != ERROR_SUCCESS) return error;
  std::memcpy(request.out(), &speed, sizeof(speed));
  request.Complete(ERROR_SUCCESS, sizeof(speed));
  return ERROR_SUCCESS;
}

}  // namespace tevrin::fx3driver
