#include "LibusbBus.h"

#include <tevrin/fx3driver/Fx3Driver.h>
#include <tevrin/hardware/CameraProducts.h>
#include <tevrin/hardware/Fx3Requests.h>
#include <tevrin/win32/DeviceNotify.h>
#include <windows.h>

#include <algorithm>

#include "LibusbDevice.h"
#include "UsbfsLimit.h"

namespace tevrin::fx3driver {

namespace hw = tevrin::hardware;

namespace {

// The camera's one interface carries the bulk endpoints 0x81, 0x01 and 0x83.
constexpr int kCameraInterface = 0;
constexpr int kPortDepth = 7;  // USB 3 allows at most seven tiers of ports

OpenFailure FailureFromLibusb(int error) {
  switch (error) {
    case LIBUSB_ERROR_ACCESS:
      return OpenFailure::kAccessDenied;
    case LIBUSB_ERROR_BUSY:
      return OpenFailure::kBusy;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
      return OpenFailure::kNotFound;
    default:
      return OpenFailure::kOther;
  }
}

// The present device list, released when it goes out of scope.
class DeviceList {
 public:
  explicit DeviceList(libusb_context* context) : count_(libusb_get_device_list(context, &list_)) {}
  ~DeviceList() {
    if (count_ >= 0) libusb_free_device_list(list_, 1);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  libusb_device** begin() const { return count_ > 0 ? list_ : nullptr; }
  libusb_device** end() const { return count_ > 0 ? list_ + count_ : nullptr; }

 private:
  libusb_device** list_ = nullptr;
  const ssize_t count_;
};

}  // namespace

std::string PortName(libusb_device* device) {
  uint8_t ports[kPortDepth];
  int depth = libusb_get_port_numbers(device, ports, kPortDepth);
  if (depth <= 0) return {};
  std::string name = std::to_string(libusb_get_bus_number(device)) + "-";
  for (int i = 0; i < depth; ++i) name += (i > 0 ? "." : "") + std::to_string(ports[i]);
  return name;
}

bool IsCamera(libusb_device* device, UsbPresence& presence) {
  libusb_device_descriptor descriptor{};
  if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS) return false;
  if (descriptor.idVendor != hw::kCypressVendorId || !hw::IsCameraProduct(descriptor.idProduct)) return false;
  presence = {descriptor.idVendor, descriptor.idProduct, PortName(device)};
  return !presence.port.empty();
}

std::shared_ptr<LibusbBus> LibusbBus::Create() {
  libusb_context* context = nullptr;
  if (libusb_init(&context) != LIBUSB_SUCCESS) return nullptr;
  return std::make_shared<LibusbBus>(context);
}

LibusbBus::LibusbBus(libusb_context* context) : context_(context) {
  if (libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
    hotplugRegistered_ =
        libusb_hotplug_register_callback(
            context_, LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT, LIBUSB_HOTPLUG_NO_FLAGS,
            hw::kCypressVendorId, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY, &LibusbBus::HotplugEvent, this,
            &hotplug_) == LIBUSB_SUCCESS;
  }
  events_ = std::thread([this] { EventLoop(); });
}

LibusbBus::~LibusbBus() {
  stopping_ = true;
  // Deregistering wakes the event loop, which then sees the flag.
  if (hotplugRegistered_) libusb_hotplug_deregister_callback(context_, hotplug_);
  libusb_interrupt_event_handler(context_);
  events_.join();
  libusb_exit(context_);
}

void LibusbBus::EventLoop() {
  while (!stopping_) {
    timeval tick{0, 200000};
    libusb_handle_events_timeout_completed(context_, &tick, nullptr);
  }
}

int LIBUSB_CALL LibusbBus::HotplugEvent(libusb_context*, libusb_device* device, libusb_hotplug_event event, void*) {
  UsbPresence presence;
  if (IsCamera(device, presence)) {
    win32::NotifyDeviceInterfaceChange(event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED, Fx3InterfaceGuid(),
                                       DevicePath(presence.vendorId, presence.productId, presence.port).c_str());
  }
  return 0;  // stay registered
}

std::vector<UsbPresence> LibusbBus::Present() {
  std::vector<UsbPresence> present;
  DeviceList devices(context_);
  for (libusb_device* device : devices) {
    UsbPresence presence;
    if (IsCamera(device, presence)) present.push_back(presence);
  }
  // libusb lists in no particular order; the port order stays while nothing is replugged.
  std::sort(present.begin(), present.end(), [](const auto& a, const auto& b) { return a.port < b.port; });
  return present;
}

std::unique_ptr<UsbDevice> LibusbBus::Open(const std::string& port, OpenFailure& failure) {
  failure = OpenFailure::kNotFound;
  DeviceList devices(context_);
  for (libusb_device* device : devices) {
    UsbPresence presence;
    if (!IsCamera(device, presence) || presence.port != port) continue;
    libusb_device_handle* handle = nullptr;
    int error = libusb_open(device, &handle);
    if (error != LIBUSB_SUCCESS) {
      failure = FailureFromLibusb(error);
      return nullptr;
    }
    libusb_set_auto_detach_kernel_driver(handle, 1);
    error = libusb_claim_interface(handle, kCameraInterface);
    if (error != LIBUSB_SUCCESS) {
      libusb_close(handle);
      failure = FailureFromLibusb(error);
      return nullptr;
    }
    failure = OpenFailure::kNone;
    const std::string warning = UsbfsLimitWarning(ReadUsbfsLimit(kUsbfsLimitPath), kUsbfsBytesNeeded);
    if (!warning.empty()) OutputDebugStringA(warning.c_str());
    return std::make_unique<LibusbDevice>(handle);
  }
  return nullptr;
}

}  // namespace tevrin::fx3driver
