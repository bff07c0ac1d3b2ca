#include "UsbStatusCodes.h"

namespace tevrin::fx3driver {

namespace hw = tevrin::hardware;

namespace {
constexpr uint32_t kNtStatusIoTimeout = 0xC00000B5;
constexpr uint32_t kUsbdStatusTimeout = 0xC0006000;
}  // namespace

DWORD Win32Error(UsbStatus status) {
  switch (status) {
    case UsbStatus::kSuccess:
      return ERROR_SUCCESS;
    case UsbStatus::kCancelled:
      return ERROR_OPERATION_ABORTED;
    case UsbStatus::kNoDevice:
      return ERROR_DEVICE_NOT_CONNECTED;
    case UsbStatus::kTimeout:
      return ERROR_SEM_TIMEOUT;
    case UsbStatus::kStall:
    case UsbStatus::kError:
      break;
  }
  return ERROR_GEN_FAILURE;
}

void WriteStatuses(hw::SingleTransfer& header, UsbStatus status) {
  struct Statuses {
    uint32_t nt;
    uint32_t usbd;
  };
  Statuses statuses{hw::kNtStatusUnsuccessful, hw::kUsbdStatusStall};
  switch (status) {
    case UsbStatus::kSuccess:
      statuses = {hw::kNtStatusSuccess, hw::kUsbdStatusSuccess};
      break;
    case UsbStatus::kCancelled:
      statuses = {hw::kNtStatusCancelled, hw::kUsbdStatusCanceled};
      break;
    case UsbStatus::kNoDevice:
      statuses = {hw::kNtStatusNoSuchDevice, hw::kUsbdStatusDeviceGone};
      break;
    case UsbStatus::kTimeout:
      statuses = {kNtStatusIoTimeout, kUsbdStatusTimeout};
      break;
    case UsbStatus::kStall:
    case UsbStatus::kError:
      break;
  }
  header.ntStatus = statuses.nt;
  header.usbdStatus = statuses.usbd;
}

}  // namespace tevrin::fx3driver
