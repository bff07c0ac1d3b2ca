// The virtual camera as a host program sees it through the FX3 driver's
// requests: enumeration, the endpoint-0 request block, the board register
// port, the sensor behind the bus handshake, and the EEPROM.
#include <gtest/gtest.h>
#include <tevrin/hardware/ControllerInfo.h>
#include <tevrin/hardware/Eeprom.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Imx991Registers.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Fx3Client.h"

namespace {

namespace hw = tevrin::hardware;
namespace vc = tevrin::virtualcam;
using fx3test::Fx3Client;

unsigned HexAt(const std::string& path, size_t offset) {
  unsigned value = 0;
  std::sscanf(path.substr(offset, 4).c_str(), "%04x", &value);
  return value;
}

TEST(DriverRequests, EnumerationFollowsTheCameraListAndPlugging) {
  ASSERT_TRUE(vc::Configure("0x3280,0x3290:fast,0x3280"));
  auto paths = fx3test::EnumerateCameras();
  ASSERT_EQ(paths.size(), 3u);
  const unsigned products[] = {0x3280, 0x3290, 0x3280};
  for (size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(paths[i]);
    EXPECT_EQ(paths[i].rfind("\\\\?\\usb#vid_", 0), 0u);
    EXPECT_EQ(HexAt(paths[i], hw::kPathVendorIdOffset), hw::kCypressVendorId);
    EXPECT_EQ(HexAt(paths[i], hw::kPathProductIdOffset), products[i]);
    EXPECT_LT(paths[i].size(), 260u);
  }
  vc::Unplug(1);
  EXPECT_EQ(fx3test::EnumerateCameras(), (std::vector<std::string>{paths[0], paths[2]}));
  EXPECT_FALSE(Fx3Client(paths[1]).IsOpen());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  vc::Plug(1);
  EXPECT_EQ(fx3test::EnumerateCameras(), paths);
  EXPECT_FALSE(vc::Configure("0x3280:sparkly"));
  EXPECT_EQ(vc::CameraCount(), 3u);
  ASSERT_TRUE(vc::Configure("none"));
  EXPECT_TRUE(fx3test::EnumerateCameras().empty());
}

// What a window registered for the camera interface receives, in order.
std::vector<std::pair<WPARAM, std::string>> deviceChanges;

LRESULT CALLBACK DeviceChangeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DEVICECHANGE) {
    auto* broadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(lParam);
    deviceChanges.emplace_back(wParam, broadcast->dbcc_name);
    return TRUE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(DriverRequests, RegisteredWindowsHearRemovalAndArrival) {
  ASSERT_TRUE(vc::Configure("0x3280,0x3290"));
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DeviceChangeProc;
  windowClass.lpszClassName = "DeviceChangeListener";
  ASSERT_NE(RegisterClassExA(&windowClass), 0);
  HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  DEV_BROADCAST_DEVICEINTERFACE_A filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  filter.dbcc_classguid = fx3test::Fx3Guid();
  HDEVNOTIFY registration = RegisterDeviceNotificationA(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  ASSERT_NE(registration, nullptr);

  const std::string path = vc::DevicePath(1);
  vc::Unplug(1);
  vc::Plug(1);
  // Notifications are sent, not posted: the next look at the queue runs them.
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(deviceChanges, (std::vector<std::pair<WPARAM, std::string>>{{DBT_DEVICEREMOVECOMPLETE, path},
                                                                        {DBT_DEVICEARRIVAL, path}}));

  // Without a registration nothing more arrives.
  EXPECT_TRUE(UnregisterDeviceNotification(registration));
  vc::Unplug(0);
  EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(deviceChanges.size(), 2u);
  DestroyWindow(window);
  UnregisterClassA(windowClass.lpszClassName, nullptr);
}

TEST(DriverRequests, ControlBlockRepliesCarryHeaderCountAndStatuses) {
  ASSERT_TRUE(vc::Configure("0x3280:fw=0x1234:gpio25=1"));
  Fx3Client camera(vc::DevicePath(0), false);
  ASSERT_TRUE(camera.IsOpen());

  auto returned = camera.Control(hw::kRequestTypeVendorIn, hw::kVendorControllerInfo, 0, 0);
  ASSERT_TRUE(returned);
  EXPECT_EQ(*returned, 38u + 64u);
  EXPECT_EQ(uint32_t(camera.block.header.ntStatus), 0u);
  EXPECT_EQ(uint32_t(camera.block.header.usbdStatus), 0u);
  EXPECT_EQ(camera.block.data[hw::kControllerInfoFirmwareVersion] | camera.block.data[25] << 8, 0x1234);
  EXPECT_EQ(camera.block.data[hw::kControllerInfoGpio25Flag], 1);

  returned = camera.Control(hw::kRequestTypeVendorIn, hw::kVendorReadyFlag, 0, 0);
  ASSERT_TRUE(returned);
  EXPECT_EQ(*returned, 39u);
  EXPECT_EQ(camera.block.data[0], 1);

  // Bits 2..4 of the request type mean nothing; an unknown request stalls.
  EXPECT_TRUE(camera.Control(hw::kRequestTypeVendorIn | 0x04, hw::kVendorReadyFlag, 0, 0));
  EXPECT_FALSE(camera.Control(hw::kRequestTypeVendorIn, 0x77, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
  EXPECT_NE(uint32_t(camera.block.header.usbdStatus), 0u);

  // Wide registers: 64 data bytes back, the value in the first two.
  EXPECT_TRUE(camera.Control(hw::kRequestTypeVendorOut, hw::kVendorWideWrite, 0x8000, 0x0123, {0x34, 0x12, 0, 0}));
  returned = camera.Control(hw::kRequestTypeVendorIn, hw::kVendorWideRead, 0, 0x8123);
  ASSERT_TRUE(returned);
  EXPECT_EQ(*returned, 38u + 64u);
  EXPECT_EQ(camera.block.data[0] | camera.block.data[1] << 8, 0x1234);

  // More than 64 I2C bytes is not a request the firmware takes.
  EXPECT_FALSE(camera.Control(hw::kRequestTypeVendorIn, hw::kVendorI2cRead, 65, hw::kI2cBoardPortRead));

  DWORD speed = 0, bytes = 0;
  ASSERT_TRUE(DeviceIoControl(camera.handle(), hw::kIoctlGetDeviceSpeed, &speed, 4, &speed, 4, &bytes, nullptr));
  EXPECT_EQ(speed, hw::kDeviceSpeedSuper);
  EXPECT_FALSE(DeviceIoControl(camera.handle(), 0x220099, nullptr, 0, nullptr, 0, &bytes, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
}

TEST(DriverRequests, BoardRegistersReportBoardAndFirmware) {
  ASSERT_TRUE(vc::Configure("0x3280:fpga=0x8125,0x3290:fast:old"));
  struct Case {
    size_t camera;
    uint8_t versionLow, versionHigh, status;
  } cases[] = {{0, 0x25, 0x81, 0}, {1, 0x10, 0x41, 1}};  // the fast board sets bit 14
  for (const auto& c : cases) {
    SCOPED_TRACE(c.camera);
    Fx3Client camera(vc::DevicePath(c.camera), false);
    EXPECT_EQ(camera.ReadBoard(hw::fpga::kVersionLow), c.versionLow);
    EXPECT_EQ(camera.ReadBoard(hw::fpga::kVersionHigh), c.versionHigh);
    EXPECT_EQ(camera.ReadBoard(hw::fpga::kBoardStatus), c.status);
    // Versions are read-only; ordinary registers keep what was written.
    EXPECT_TRUE(camera.WriteBoard(hw::fpga::kVersionLow, 0x55));
    EXPECT_EQ(camera.ReadBoard(hw::fpga::kVersionLow), c.versionLow);
    EXPECT_TRUE(camera.WriteBoard(hw::fpga::kCorrectionControl, 0x01));
    EXPECT_EQ(camera.ReadBoard(hw::fpga::kCorrectionControl), 0x01);
    EXPECT_EQ(vc::BoardRegister(c.camera, hw::fpga::kCorrectionControl), 0x01);
  }
  Fx3Client camera(vc::DevicePath(0), false);
  vc::SetInputs(0, 0x5A);
  EXPECT_EQ(camera.ReadBoard(hw::fpga::kIoPort), 0x5A);
  camera.WriteBoard(hw::fpga::kIoPort, 0x03);
  EXPECT_EQ(vc::Outputs(0), 0x03);
  vc::SetSensorTemperature(0, -1.0);
  EXPECT_EQ(camera.ReadBoard(hw::fpga::kSensorTemperatureLow), 0xF8);
  EXPECT_EQ(camera.ReadBoard(hw::fpga::kSensorTemperatureHigh), 0x0F);
}

TEST(DriverRequests, SensorIsReachedOnlyWhenTheBusIsGranted) {
  ASSERT_TRUE(vc::Configure("0x3280"));
  Fx3Client camera(vc::DevicePath(0), false);
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kGain0, 0xA4));
  EXPECT_EQ(vc::SensorRegister(0, hw::imx991::kGain0), 0xA4);
  EXPECT_EQ(camera.ReadSensor(hw::imx991::kGain0), 0xA4);

  // While the FPGA drives the bus: busy in 0x02, sensor I2C not acknowledged.
  vc::HoldSensorBus(0, true);
  EXPECT_EQ(camera.ReadBoard(hw::fpga::kStatus), hw::fpga::kStatusSensorBusBusy);
  EXPECT_FALSE(camera.I2cWrite(hw::kI2cSensorWrite, {0x07, 0x14, 0x01}));
  // Asking for it through 0x9F grants it.
  EXPECT_TRUE(camera.WriteSensor(hw::imx991::kGain0, 0x01));
  EXPECT_EQ(vc::SensorRegister(0, hw::imx991::kGain0), 0x01);
  vc::HoldSensorBus(0, false);

  // The temperature reading holds still while latched.
  vc::SetSensorTemperature(0, 50.0);
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kTemperatureLatch, 1));
  vc::SetSensorTemperature(0, 20.0);
  EXPECT_EQ(camera.ReadSensor(hw::imx991::kTemperature0), 0x90);
  EXPECT_EQ(camera.ReadSensor(hw::imx991::kTemperature1), 0x01);
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kTemperatureLatch, 0));
  EXPECT_EQ(camera.ReadSensor(hw::imx991::kTemperature0), 0xA0);
}

TEST(DriverRequests, EepromKeepsSerialNumberAndUserBytesAcrossRuns) {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  std::string file = std::string(scratch ? scratch : ".") + "/eeprom.bin";
  std::filesystem::remove(file);
  ASSERT_TRUE(vc::Configure("0x3280:serial=SN42:eeprom=" + file));
  {
    Fx3Client camera(vc::DevicePath(0), false);
    EXPECT_EQ(camera.ReadEeprom(hw::kEepromSerialNumber), 'S');
    EXPECT_EQ(camera.ReadEeprom(hw::kEepromSerialNumber + 3), '2');
    EXPECT_EQ(camera.ReadEeprom(hw::kEepromSerialNumber + 4), hw::kEepromErased);
    EXPECT_TRUE(camera.WriteEeprom(0x0234, 0x5C));
    EXPECT_TRUE(camera.WriteEeprom(hw::kEepromCorrectionLevel, 3));
    EXPECT_EQ(camera.ReadEeprom(0x0234), 0x5C);
  }
  // A new camera on the same file: the bytes were kept, the serial option no longer applies.
  ASSERT_TRUE(vc::Configure("0x3280:serial=OTHER:eeprom=" + file));
  Fx3Client camera(vc::DevicePath(0), false);
  EXPECT_EQ(camera.ReadEeprom(0x0234), 0x5C);
  EXPECT_EQ(camera.ReadEeprom(hw::kEepromCorrectionLevel), 3);
  EXPECT_EQ(camera.ReadEeprom(hw::kEepromSerialNumber), 'S');
  // Without a file the contents last only as long as the camera.
  ASSERT_TRUE(vc::Configure("0x3280"));
  Fx3Client fresh(vc::DevicePath(0), false);
  EXPECT_EQ(fresh.ReadEeprom(0x0234), hw::kEepromErased);
  EXPECT_EQ(fresh.ReadEeprom(hw::kEepromSerialNumber), 'V');
}

}  // namespace
