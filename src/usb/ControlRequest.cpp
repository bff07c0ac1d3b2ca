#include "usb/ControlRequest.h"

#include <algorithm>
#include <cstring>

namespace tevrin::usb {

hardware::ControlRequestBlock BuildControlBlock(const VendorRequest& request) {
  hardware::ControlRequestBlock block{};
  block.header.bmRequestType = request.requestType;
  block.header.bRequest = request.request;
  block.header.wValue = request.value;
  block.header.wIndex = request.index;
  // The driver wants the size of the whole block here, not of the data.
  block.header.wLength = hardware::kControlBlockLength;
  block.header.timeoutSeconds = hardware::kControlTimeoutSeconds;
  block.header.bufferOffset = sizeof(hardware::SingleTransfer);
  block.header.bufferLength = hardware::kControlDataBytes;
  if (!request.data.empty())
    std::memcpy(block.data, request.data.data(), std::min(request.data.size(), sizeof(block.data)));
  return block;
}

VendorReply SendVendorRequest(HANDLE device, const VendorRequest& request) {
  VendorReply reply;
  if (!device || request.data.size() > hardware::kControlDataBytes) return reply;
  hardware::ControlRequestBlock block = BuildControlBlock(request);
  DWORD returned = 0;
  reply.ok = DeviceIoControl(device, hardware::kIoctlControlTransfer, &block, sizeof(block), &block, sizeof(block),
                             &returned, nullptr) != FALSE;
  if (!reply.ok) reply.error = GetLastError();
  // The count includes the 38-byte header; a count below it is taken as it stands.
  const uint32_t header = sizeof(hardware::SingleTransfer);
  const uint32_t dataBytes = returned >= header ? returned - header : returned;
  reply.dataBytes = std::min<uint32_t>(dataBytes, hardware::kControlDataBytes);
  std::memcpy(reply.data.data(), block.data, reply.data.size());
  return reply;
}

}  // namespace tevrin::usb
