#include "support/DeviceFixture.h"

#include <tevrin/hardware/Imx991Registers.h>

#include <cstdlib>
#include <new>

namespace tevrin::test {

namespace imx = tevrin::hardware::imx991;

bool TestDevice::AwaitLoopsEnded(int count) const {
  for (int i = 0; i < 10000 && loopsEnded < count; ++i) Sleep(1);
  return loopsEnded == count;
}

int TestDevice::Board(int reg) {
  int ok = 0;
  const int value = ReadFpgaRegister(reg, &ok);
  return ok ? value : -1;
}

TestSensor::TestSensor(CControllerBase* controller) : CSensorBase(controller, 0x48) {
  info_.maxWidth = info_.defaultWidth = info_.windowWidth = kWidth;
  info_.maxHeight = info_.defaultHeight = info_.windowHeight = kHeight;
  info_.orientation = 1;
}

CSensorBase* MakeTestSensor(uint16_t, CControllerBase* controller) {
  return new (std::nothrow) TestSensor(controller);
}

TestDevice& DeviceTest::Open(const char* cameras, CTevrinU3K5Base::SensorFactory factory) {
  EXPECT_TRUE(virtualcam::Configure(cameras));
  TestDevice& device = AddDevice(static_cast<int>(std::strtoul(cameras, nullptr, 0)), factory);
  EXPECT_EQ(device.OpenDevice(0), 1);
  return device;
}

TestDevice& DeviceTest::AddDevice(int productId, CTevrinU3K5Base::SensorFactory factory) {
  auto device = std::make_unique<TestDevice>();
  device->SetProductId(productId);
  if (factory) device->SetSensorFactory(factory);
  EXPECT_EQ(device->CreateController(nullptr, nullptr), 1);
  devices.push_back(std::move(device));
  return *devices.back();
}

void DeviceTest::TearDown() {
  devices.clear();
  virtualcam::Configure("");
}

WaitResult AwaitFrame(CTevrinU3K5Base& device, int attempts) {
  WaitResult result = WaitResult::kNoNewFrame;
  for (int i = 0; i < attempts && result == WaitResult::kNoNewFrame; ++i) result = device.WaitFrame(5000);
  return result;
}

WaitResult AwaitFailure(CTevrinU3K5Base& device) {
  WaitResult result = WaitResult::kNoNewFrame;
  for (int quiet = 0; quiet < 120 && (result = device.WaitFrame(1000)) != WaitResult::kError;) {
    if (result == WaitResult::kNoNewFrame) ++quiet;
  }
  return result;
}

void StopWithAbortWhileStalled(TestDevice& device) {
  device.SetFrameTimeout(60000);
  ASSERT_EQ(device.StartCapture(CaptureMode::kContinuous), 1);
  ASSERT_EQ(AwaitFrame(device), WaitResult::kNewFrame);
  virtualcam::StallStream(0, true);
  Sleep(200);  // the thread now waits for a frame that does not come
  EXPECT_EQ(device.StopCapture(1), 1);
  EXPECT_TRUE(device.AwaitLoopsEnded(1));
  virtualcam::StallStream(0, false);
}

void SlowFrames(CTevrinU3K5Base& device, uint32_t vmax) {
  EXPECT_TRUE(device.WriteRegisterRaw(imx::kVmax2, (vmax >> 16) & 0xFF));
  EXPECT_TRUE(device.WriteRegisterRaw(imx::kVmax1, (vmax >> 8) & 0xFF));
  EXPECT_TRUE(device.WriteRegisterRaw(imx::kVmax0, vmax & 0xFF));
}

}  // namespace tevrin::test
