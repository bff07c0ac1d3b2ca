// The device exports end to end: an application's calls through the SDK
// reach virtual cameras through the device layer, the transport and the
// driver interface.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <cstring>
#include <string>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/ApplicationWindow.h"

namespace {

using ::testing::DoubleNear;
using ::testing::ElementsAre;
namespace vc = tevrin::virtualcam;

// An SDK handle on the cameras of `cameras`, released at the end of the test.
class Session {
 public:
  explicit Session(const std::string& cameras) {
    EXPECT_TRUE(vc::Configure(cameras));
    handle_ = Tevrin_Initialize(nullptr);
  }
  ~Session() { Tevrin_Release(handle_); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  operator int() const { return handle_; }

  std::vector<int> Errors() const { return tevrin::test::TakeErrors(handle_); }

 private:
  int handle_ = 0;
};

std::string Serial(int handle) {
  char serial[64] = {};
  EXPECT_EQ(Tevrin_ReadSerialNumberA(handle, serial, sizeof serial), 1);
  return serial;
}

TEST(DeviceExports, TwoCamerasAreListedOpenedByNumberAndLost) {
  Session h("0x3280:serial=CAM-A,0x3280:fast:serial=CAM-B");
  char names[10][256];
  std::memset(names, 'x', sizeof names);
  ASSERT_EQ(Tevrin_EnumDevice(h, names), 2);
  EXPECT_STREQ(names[0], "TevrinHalden_01");
  EXPECT_STREQ(names[1], "TevrinHalden_02");
  EXPECT_STREQ(names[9], "");

  ASSERT_EQ(Tevrin_SetDeviceNumber(h, 1), 1);
  EXPECT_EQ(Serial(h), "CAM-B");
  ASSERT_EQ(Tevrin_SetDeviceNumber(h, 0), 1);
  EXPECT_EQ(Serial(h), "CAM-A");
  EXPECT_EQ(Tevrin_SetDeviceNumber(h, 0), 1);  // already open
  char name[16];
  EXPECT_EQ(Tevrin_GetDeviceName(h, 1, name, sizeof name), 1);
  EXPECT_STREQ(name, "TevrinHalden_02");
  EXPECT_EQ(Tevrin_SetDeviceNumber(h, 2), 0);
  EXPECT_THAT(h.Errors(), ElementsAre(2));

  vc::Unplug(1);
  EXPECT_EQ(Tevrin_EnumDevice(h, names), 1);
  EXPECT_EQ(Tevrin_SetDeviceNumber(h, 1), 0);
  EXPECT_EQ(Tevrin_GetDeviceName(h, 1, name, sizeof name), 0);
  EXPECT_THAT(h.Errors(), ElementsAre(2, 2));
  vc::Plug(1);
  EXPECT_EQ(Tevrin_SetDeviceNumber(h, 1), 1);
  EXPECT_EQ(Serial(h), "CAM-B");
}

TEST(DeviceExports, SerialNumberWithoutEndByteIsCutTo31Characters) {
  Session h("0x3280:serial=ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");  // 32 characters fill the area
  EXPECT_EQ(Serial(h), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234");
}

TEST(DeviceExports, RegistersEepromAndPortReachTheBoard) {
  Session h("0x3280");
  int ok = 0;
  EXPECT_EQ(Tevrin_Fpga_ReadRegister(h, 0x110, &ok), vc::BoardRegister(0, 0x10));  // low 8 bits of the address
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(Tevrin_Fpga_WriteRegister(h, 0xD0, 0x5A), 1);
  EXPECT_EQ(vc::BoardRegister(0, 0xD0), 0x5A);

  EXPECT_EQ(Tevrin_WriteSromID(h, 0x1234, 0x1C7), 1);
  EXPECT_EQ(Tevrin_ReadSromID(h, 0x234, &ok), 0xC7);
  EXPECT_EQ(ok, 1);

  vc::SetInputs(0, 0x05);
  BYTE port = 0;
  EXPECT_EQ(Tevrin_GetIOPort(h, &port), 1);
  EXPECT_EQ(port, 0x05);
  EXPECT_EQ(Tevrin_SetIOPort(h, 0x103), 1);
  EXPECT_EQ(vc::Outputs(0), 0x03);

  EXPECT_EQ(Tevrin_WriteRegisterEx(h, 0x404, 0x02), 1);  // the flip register: mirror
  EXPECT_EQ(Tevrin_ReadRegisterEx(h, 0x404, &ok), 0x02);
  EXPECT_EQ(ok, 1);

  EXPECT_EQ(Tevrin_SetInternalCorrection(h, 1), 1);
  EXPECT_EQ(Tevrin_GetInternalCorrection(h, &ok), 1);
  EXPECT_EQ(vc::BoardRegister(0, 0xD1) & 1, 1);
  EXPECT_EQ(Tevrin_SetInternalCorrection(h, 0), 1);
  EXPECT_EQ(vc::BoardRegister(0, 0xD1) & 1, 0);
  EXPECT_THAT(h.Errors(), ElementsAre());
}

TEST(DeviceExports, ExposureGainAndTemperatureReachTheSensor) {
  Session h("0x3280");
  CameraInfo info{};
  info.size = sizeof info;
  ASSERT_EQ(Tevrin_GetCameraInfo(h, &info), 1);
  EXPECT_EQ(info.maxWidth, 640);
  EXPECT_EQ(info.maxHeight, 512);
  EXPECT_LT(info.exposureMin, info.exposureMax);
  EXPECT_LT(info.globalGainMin, info.globalGainMax);

  int ok = 0;
  EXPECT_EQ(Tevrin_SetExposureTime(h, 250), 1);
  EXPECT_EQ(Tevrin_GetExposureTime(h, &ok), 250);
  EXPECT_EQ(Tevrin_SetRealExposureTime(h, 12345), 1);
  EXPECT_EQ(Tevrin_GetRealExposureTime(h, &ok), 12300);
  EXPECT_EQ(Tevrin_SetRealExposureTime(h, (info.exposureMax + 1) * 100), 0);
  EXPECT_THAT(h.Errors(), ElementsAre(9));

  EXPECT_EQ(Tevrin_SetGlobalGain(h, info.globalGainMax), 1);
  EXPECT_EQ(Tevrin_GetGlobalGain(h, &ok), info.globalGainMax);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(Tevrin_SetGlobalGain(h, info.globalGainMax + 1), 0);

  vc::SetSensorTemperature(0, 41.5);
  EXPECT_THAT(Tevrin_GetTemperatureEx(h, &ok), DoubleNear(41.5, 0.5));
  EXPECT_EQ(ok, 1);
}

}  // namespace
