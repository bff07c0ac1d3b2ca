// The libusb bus in a umockdev test bed: which devices are cameras, the paths
// they get, an open refused for lack of permission, hot-plug notifications,
// and driver requests through usbfs answered by a small URB model.
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tevrin/fx3driver/Fx3Driver.h>
#include <tevrin/hardware/Fx3Requests.h>
#include <umockdev.h>
#include <unistd.h>
#include <windows.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "LibusbBus.h"
#include "RecordingWindow.h"

namespace {

namespace hw = tevrin::hardware;
using tevrin::fx3driver::Fx3Driver;
using tevrin::fx3driver::LibusbBus;

// The test bed works only under umockdev's preload library: come back through its wrapper.
const bool underPreload = [] {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload && std::strstr(preload, "libumockdev-preload")) return true;
  std::ifstream cmdline("/proc/self/cmdline");
  std::vector<std::string> words;
  for (std::string word; std::getline(cmdline, word, '\0');) words.push_back(word);
  std::vector<char*> argv{const_cast<char*>(UMOCKDEV_WRAPPER)};
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  execv(UMOCKDEV_WRAPPER, argv.data());
  std::perror("umockdev-wrapper");
  std::_Exit(2);
}();

constexpr const char* kGuid = "{328184c5-93e6-49b7-94b8-2ada13aabb39}";

std::string Hex(std::initializer_list<int> bytes) {
  std::string text;
  char byte[3];
  for (int b : bytes) {
    std::snprintf(byte, sizeof byte, "%02x", b & 0xFF);
    text += byte;
  }
  return text;
}

// Device, configuration, interface and the three bulk endpoints of a camera.
std::string Descriptors(uint16_t vendor, uint16_t product) {
  return Hex({0x12, 0x01, 0x00, 0x03, 0, 0, 0, 9, vendor & 0xFF, vendor >> 8, product & 0xFF, product >> 8, 0, 1, 0, 0,
              0, 1}) +
         Hex({9, 2, 39, 0, 1, 1, 0, 0x80, 0x32, 9, 4, 0, 0, 3, 0xFF, 0, 0, 0}) +
         Hex({7, 5, 0x81, 2, 0, 4, 0, 7, 5, 0x01, 2, 0, 4, 0, 7, 5, 0x83, 2, 0, 4, 0});
}

// Answers usbfs requests of one device node: the claim and recovery requests
// succeed, vendor request 0xC3 replies 1, bulk reads wait until discarded.
class UrbModel {
 public:
  UrbModel() : handler_(umockdev_ioctl_base_new()) {
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&UrbModel::Handle), this);
  }
  ~UrbModel() {
    for (auto* urb : submitted_) g_object_unref(urb);
    for (auto& [urb, status] : done_) g_object_unref(urb);
    g_object_unref(handler_);
  }
  UMockdevIoctlBase* handler() const { return handler_; }

 private:
  static gboolean Handle(UMockdevIoctlBase*, UMockdevIoctlClient* client, UrbModel* self) {
    std::lock_guard lock(self->mutex_);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    switch (umockdev_ioctl_client_get_request(client)) {
      case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr);
        const uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM;
        std::memcpy(caps->data, &value, sizeof value);
        g_object_unref(caps);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
      }
      case USBDEVFS_GETDRIVER:  // no kernel driver holds the interface to detach
      case USBDEVFS_IOCTL:
        umockdev_ioctl_client_complete(client, -1, ENODATA);
        return TRUE;
      case USBDEVFS_CLAIMINTERFACE:
      case USBDEVFS_RELEASEINTERFACE:
      case USBDEVFS_CLEAR_HALT:
      case USBDEVFS_RESET:
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
      case USBDEVFS_SUBMITURB:
        self->Submit(arg);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
      case USBDEVFS_REAPURB:
      case USBDEVFS_REAPURBNDELAY:
        if (self->done_.empty()) {
          umockdev_ioctl_client_complete(client, -1, EAGAIN);
        } else {
          auto [urb, status] = self->done_.front();
          self->done_.pop_front();
          reinterpret_cast<usbdevfs_urb*>(urb->data)->status = status;
          UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
          umockdev_ioctl_data_set_ptr(pointer, 0, urb);
          g_object_unref(pointer);
          g_object_unref(urb);
          umockdev_ioctl_client_complete(client, 0, 0);
        }
        return TRUE;
      case USBDEVFS_DISCARDURB: {
        const auto address = reinterpret_cast<gulong>(*reinterpret_cast<void**>(arg->data));
        for (auto it = self->submitted_.begin(); it != self->submitted_.end(); ++it) {
          if ((*it)->client_addr != address) continue;
          self->done_.push_back({*it, -ENOENT});
          self->submitted_.erase(it);
          umockdev_ioctl_client_complete(client, 0, 0);
          return TRUE;
        }
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return TRUE;
      }
      default:
        return FALSE;
    }
  }

  void Submit(UMockdevIoctlData* arg) {
    UMockdevIoctlData* urb = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
    auto* request = reinterpret_cast<usbdevfs_urb*>(urb->data);
    // The URB's buffer lies in this same process.
    auto* buffer = static_cast<uint8_t*>(request->buffer);
    if (request->type == USBDEVFS_URB_TYPE_CONTROL && buffer[1] == hw::kVendorReadyFlag) {
      buffer[8] = 1;
      request->actual_length = 1;
      done_.push_back({urb, 0});
    } else if (request->type == USBDEVFS_URB_TYPE_CONTROL) {
      done_.push_back({urb, -EPIPE});
    } else {
      submitted_.push_back(urb);
    }
  }

  UMockdevIoctlBase* const handler_;
  std::mutex mutex_;
  std::vector<UMockdevIoctlData*> submitted_;
  std::deque<std::pair<UMockdevIoctlData*, int>> done_;
};

class Testbed {
 public:
  Testbed() : bed_(umockdev_testbed_new()) {
    gchar* root = umockdev_testbed_get_root_dir(bed_);
    root_ = root;
    g_free(root);
    Add("usb1", 1, 0x1D6B, 0x0003);
  }
  ~Testbed() { g_object_unref(bed_); }

  // A device on the first bus, named by its port ("1-2"); node 001/<devnum>.
  void Add(const std::string& sysname, int devnum, uint16_t vendor, uint16_t product, UrbModel* model = nullptr) {
    char node[32];
    std::snprintf(node, sizeof node, "bus/usb/001/%03d", devnum);
    if (model) umockdev_testbed_attach_ioctl(bed_, (std::string("/dev/") + node).c_str(), model->handler(), nullptr);
    const std::string path = sysname == "usb1" ? "/devices/usb1" : "/devices/usb1/" + sysname;
    const std::string text = "P: " + path + "\nN: " + node + "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n" +
                             "E: DEVNAME=/dev/" + node + "\nE: BUSNUM=001\nE: DEVNUM=" + std::string(node + 12) +
                             "\nA: busnum=1\\n\nA: devnum=" + std::to_string(devnum) +
                             "\\n\nA: speed=5000\\n\nA: bConfigurationValue=1\\n\nH: descriptors=" +
                             Descriptors(vendor, product) + "\n";
    ASSERT_TRUE(umockdev_testbed_add_from_string(bed_, text.c_str(), nullptr)) << text;
  }
  void Remove(const std::string& sysname) {
    umockdev_testbed_uevent(bed_, ("/sys/devices/usb1/" + sysname).c_str(), "remove");
    umockdev_testbed_remove_device(bed_, ("/sys/devices/usb1/" + sysname).c_str());
  }
  const std::string& root() const { return root_; }

 private:
  UMockdevTestbed* const bed_;
  std::string root_;
};

std::string PathAt(const char* ids, const char* port) {
  return std::string("\\\\?\\usb#") + ids + "#" + port + "#" + kGuid;
}

// Exits 0 when the one camera is listed but its open is refused for lack of access.
[[noreturn]] void OpenAsOrdinaryUser() {
  // libusb starts before the switch: an ordinary user could not reach the test bed's event socket.
  auto bus = LibusbBus::Create();
  if (!bus) _exit(11);
  if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
  Fx3Driver driver(bus);
  auto paths = driver.InterfacePaths(tevrin::fx3driver::Fx3InterfaceGuid());
  if (paths.size() != 1) _exit(12);
  DWORD error = ERROR_SUCCESS;
  auto handle = driver.Open(paths[0], GENERIC_WRITE, error);
  _exit(handle ? 13 : error == ERROR_ACCESS_DENIED ? 0 : 14);
}

TEST(LibusbBus, CameraWithoutAccessIsFoundButRefusedWithAccessDenied) {
  ASSERT_TRUE(underPreload);
  Testbed bed;
  bed.Add("1-2", 2, 0x04B4, 0x3280);
  ASSERT_EQ(chmod(bed.root().c_str(), 0755), 0);
  ASSERT_EQ(chmod((bed.root() + "/dev/bus/usb/001/002").c_str(), 0600), 0);
  // umockdev's usbfs emulation is reached before the node itself is opened.
  ASSERT_EQ(chmod((bed.root() + "/ioctl/_default").c_str(), 0666), 0);
  // Root opens anything: look as an ordinary user from a child process.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) OpenAsOrdinaryUser();
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10 no user switch, 11 no libusb, 12 camera not listed, 13 opened, 14 other error";
}

TEST(LibusbBus, FindsTheFamilysCamerasByPort) {
  ASSERT_TRUE(underPreload);
  Testbed bed;
  bed.Add("1-2", 2, 0x04B4, 0x3280);
  bed.Add("1-3", 3, 0x04B4, 0x0008);  // another FX3 product, not a camera
  bed.Add("1-4", 4, 0x046D, 0x3280);  // the camera's product ID under another vendor
  bed.Add("1-5", 5, 0x04B4, 0x3042);
  auto bus = LibusbBus::Create();
  ASSERT_NE(bus, nullptr);
  Fx3Driver driver(bus);
  GUID fx3 = tevrin::fx3driver::Fx3InterfaceGuid();
  EXPECT_EQ(driver.InterfacePaths(fx3),
            (std::vector<std::string>{PathAt("vid_04b4&pid_3280", "1-2"), PathAt("vid_04b4&pid_3042", "1-5")}));
  GUID other = fx3;
  other.Data1 ^= 1;
  EXPECT_TRUE(driver.InterfacePaths(other).empty());
}

TEST(LibusbBus, PluggingACameraNotifiesRegisteredWindows) {
  ASSERT_TRUE(underPreload);
  Testbed bed;
  auto bus = LibusbBus::Create();
  ASSERT_NE(bus, nullptr);
  tevrin::test::Recorder recorder;
  HWND window = tevrin::test::CreateRecordingWindow(recorder);
  DEV_BROADCAST_DEVICEINTERFACE_A filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = tevrin::fx3driver::Fx3InterfaceGuid();
  HDEVNOTIFY registration = RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  ASSERT_NE(registration, nullptr);

  bed.Add("1-3", 3, 0x04B4, 0x0008);  // not a camera: no message
  bed.Add("1-2", 2, 0x04B4, 0x3290);
  std::vector<tevrin::test::Received> changes;
  // A bound for a failing run only; the event thread delivers at once.
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (changes.empty() && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    tevrin::test::PumpPending();
    for (const auto& received : recorder.All())
      if (received.message == WM_DEVICECHANGE) changes.push_back(received);
  }
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].wParam, DBT_DEVICEARRIVAL);
  EXPECT_EQ(changes[0].text, PathAt("vid_04b4&pid_3290", "1-2"));
  UnregisterDeviceNotification(registration);
  DestroyWindow(window);
}

TEST(LibusbBus, DriverRequestsTravelAsUrbs) {
  ASSERT_TRUE(underPreload);
  Testbed bed;
  UrbModel model;
  bed.Add("1-2", 2, 0x04B4, 0x3280, &model);
  auto bus = LibusbBus::Create();
  ASSERT_NE(bus, nullptr);
  Fx3Driver driver(bus);
  DWORD error = ERROR_SUCCESS;
  auto device = driver.Open(PathAt("vid_04b4&pid_3280", "1-2"), GENERIC_WRITE, error);
  ASSERT_NE(device, nullptr) << error;

  // Endpoint 0: the ready flag comes back in the block, the count including the header.
  hw::ControlRequestBlock block{};
  block.header = {hw::kRequestTypeVendorIn, hw::kVendorReadyFlag, 0, 0, hw::kControlBlockLength, 3, 0, 0, 0, 0, 0, 0,
                  sizeof(hw::SingleTransfer), 1};
  auto control = std::make_shared<tevrin::win32::IoRequest>(hw::kIoctlControlTransfer, &block, sizeof block, &block,
                                                             sizeof block);
  device->Submit(control);
  ASSERT_TRUE(control->IsComplete());
  EXPECT_EQ(control->error(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(control->bytes(), sizeof(hw::SingleTransfer) + 1);
  EXPECT_EQ(block.data[0], 1);

  // A request the device stalls fails with the driver's statuses set.
  block.header.bRequest = hw::kVendorCommandCC;
  block.header.bmRequestType = hw::kRequestTypeVendorOut;
  block.header.bufferLength = 0;
  control = std::make_shared<tevrin::win32::IoRequest>(hw::kIoctlControlTransfer, &block, sizeof block, &block,
                                                       sizeof block);
  device->Submit(control);
  EXPECT_EQ(control->error(), static_cast<DWORD>(ERROR_GEN_FAILURE));
  EXPECT_EQ(static_cast<uint32_t>(block.header.ntStatus), hw::kNtStatusUnsuccessful);

  // A bulk read the camera never answers stays pending until cancelled.
  hw::SingleTransfer header{};
  header.endpointAddress = hw::kEndpointImageIn;
  uint8_t image[64] = {};
  auto read = std::make_shared<tevrin::win32::IoRequest>(hw::kIoctlDirectTransfer, &header, sizeof header, image,
                                                         sizeof image);
  device->Submit(read);
  EXPECT_FALSE(read->IsComplete());
  device->Cancel(read);
  ASSERT_TRUE(read->IsComplete());
  EXPECT_EQ(read->error(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  EXPECT_EQ(static_cast<uint32_t>(header.ntStatus), hw::kNtStatusCancelled);
  EXPECT_EQ(static_cast<uint32_t>(header.usbdStatus), hw::kUsbdStatusCanceled);
}

}  // namespace
