#include "LibusbDevice.h"

#include <vector>

namespace tevrin::fx3driver {

UsbStatus StatusFromLibusb(int error) {
  if (error >= 0) return UsbStatus::kSuccess;
  switch (error) {
    case LIBUSB_ERROR_PIPE:
      return UsbStatus::kStall;
    case LIBUSB_ERROR_TIMEOUT:
      return UsbStatus::kTimeout;
    case LIBUSB_ERROR_NO_DEVICE:
      return UsbStatus::kNoDevice;
    case LIBUSB_ERROR_INTERRUPTED:
      return UsbStatus::kCancelled;
    default:
      return UsbStatus::kError;
  }
}

UsbStatus StatusFromTransfer(libusb_transfer_status status) {
  switch (status) {
    case LIBUSB_TRANSFER_COMPLETED:
      return UsbStatus::kSuccess;
    case LIBUSB_TRANSFER_STALL:
      return UsbStatus::kStall;
    case LIBUSB_TRANSFER_TIMED_OUT:
      return UsbStatus::kTimeout;
    case LIBUSB_TRANSFER_CANCELLED:
      return UsbStatus::kCancelled;
    case LIBUSB_TRANSFER_NO_DEVICE:
      return UsbStatus::kNoDevice;
    case LIBUSB_TRANSFER_ERROR:
    case LIBUSB_TRANSFER_OVERFLOW:
      break;
  }
  return UsbStatus::kError;
}

LibusbDevice::~LibusbDevice() {
  CancelWhere([](const BulkTransfer&) { return true; });
  libusb_release_interface(handle_, 0);
  libusb_close(handle_);
}

UsbResult LibusbDevice::Control(const ControlSetup& setup, std::span<uint8_t> data, unsigned timeoutMs) {
  int done = libusb_control_transfer(handle_, setup.requestType, setup.request, setup.value, setup.index, data.data(),
                                     static_cast<uint16_t>(data.size()), timeoutMs);
  if (done < 0) return {StatusFromLibusb(done), 0};
  return {UsbStatus::kSuccess, static_cast<size_t>(done)};
}

void LibusbDevice::SubmitBulk(BulkTransfer transfer) {
  libusb_transfer* usb = libusb_alloc_transfer(0);
  if (usb == nullptr || transfer.length > static_cast<size_t>(INT32_MAX)) {
    libusb_free_transfer(usb);
    transfer.done({UsbStatus::kError, 0});
    return;
  }
  // No time-out here: the caller waits its own time and cancels.
  libusb_fill_bulk_transfer(usb, handle_, transfer.endpoint, transfer.data, static_cast<int>(transfer.length),
                            &LibusbDevice::Completed, this, 0);
  int error = LIBUSB_SUCCESS;
  {
    std::lock_guard lock(mutex_);
    error = libusb_submit_transfer(usb);
    if (error == LIBUSB_SUCCESS) inFlight_.emplace(usb, std::move(transfer));
  }
  if (error != LIBUSB_SUCCESS) {
    libusb_free_transfer(usb);
    transfer.done({StatusFromLibusb(error), 0});
  }
}

void LIBUSB_CALL LibusbDevice::Completed(libusb_transfer* usb) {
  auto* device = static_cast<LibusbDevice*>(usb->user_data);
  BulkTransfer* transfer = nullptr;
  {
    std::lock_guard lock(device->mutex_);
    transfer = &device->inFlight_.at(usb);
  }
  const UsbStatus status = StatusFromTransfer(usb->status);
  transfer->done({status, status == UsbStatus::kSuccess ? static_cast<size_t>(usb->actual_length) : 0});
  {
    // Leaves the list only now: whoever cancels it waits until its completion has run,
    // and may then destroy the device, so nothing of it is touched afterwards.
    std::lock_guard lock(device->mutex_);
    device->inFlight_.erase(usb);
    device->finished_.notify_all();
  }
  libusb_free_transfer(usb);
}

template <class Match>
void LibusbDevice::CancelWhere(Match matches) {
  std::unique_lock lock(mutex_);
  std::vector<libusb_transfer*> cancelled;
  for (auto& [usb, transfer] : inFlight_) {
    if (!matches(transfer)) continue;
    libusb_cancel_transfer(usb);
    cancelled.push_back(usb);
  }
  // A transfer that completed meanwhile is simply gone from the list.
  finished_.wait(lock, [&] {
    for (auto* usb : cancelled)
      if (inFlight_.count(usb) != 0) return false;
    return true;
  });
}

void LibusbDevice::CancelBulk(const void* tag) {
  CancelWhere([tag](const BulkTransfer& transfer) { return transfer.tag == tag; });
}

UsbStatus LibusbDevice::AbortEndpoint(uint8_t endpoint) {
  CancelWhere([endpoint](const BulkTransfer& transfer) { return transfer.endpoint == endpoint; });
  return UsbStatus::kSuccess;
}

UsbStatus LibusbDevice::ClearHalt(uint8_t endpoint) {
  AbortEndpoint(endpoint);
  return StatusFromLibusb(libusb_clear_halt(handle_, endpoint));
}

UsbStatus LibusbDevice::ResetPort() {
  CancelWhere([](const BulkTransfer&) { return true; });
  return StatusFromLibusb(libusb_reset_device(handle_));
}

UsbStatus LibusbDevice::Speed(uint32_t& speed) {
  int found = libusb_get_device_speed(libusb_get_device(handle_));
  if (found == LIBUSB_SPEED_UNKNOWN) return UsbStatus::kError;
  // The driver's scale tops out at SuperSpeed.
  speed = static_cast<uint32_t>(found > LIBUSB_SPEED_SUPER ? LIBUSB_SPEED_SUPER : found);
  return UsbStatus::kSuccess;
}

DeviceDescriptor LibusbDevice::Descriptor() {
  libusb_device_descriptor descriptor{};
  libusb_get_device_descriptor(libusb_get_device(handle_), &descriptor);
  return {descriptor.idVendor, descriptor.idProduct, descriptor.bcdDevice, descriptor.bcdUSB};
}

std::string LibusbDevice::SerialNumber() {
  libusb_device_descriptor descriptor{};
  libusb_get_device_descriptor(libusb_get_device(handle_), &descriptor);
  unsigned char text[256] = {};
  if (descriptor.iSerialNumber == 0) return {};
  int n = libusb_get_string_descriptor_ascii(handle_, descriptor.iSerialNumber, text, sizeof(text));
  return n > 0 ? std::string(reinterpret_cast<char*>(text), static_cast<size_t>(n)) : std::string();
}

}  // namespace tevrin::fx3driver
