// The transport end to end against the virtual cameras: enumeration, the
// board port, sensor and EEPROM traffic, frames of the programmed size and
// content, aborts, unplugging and injected faults.
#include <gtest/gtest.h>
#include <tevrin/hardware/ControllerInfo.h>
#include <tevrin/hardware/Eeprom.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Imx991Registers.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "usb/TevrinCy3Cam.h"
#include "support/StreamFrame.h"
#include "support/VirtualCamera.h"

namespace {

namespace hw = tevrin::hardware;
namespace vc = tevrin::virtualcam;
using tevrin::usb::FrameHeaderBlock;

using tevrin::test::Frame;

constexpr uint32_t kFullFrameBytes = 640 * 512 * 2;

class VirtualCameraTest : public ::testing::Test {
 protected:
  // `cameras` in the virtual camera's list syntax; the first one selected.
  std::unique_ptr<CTevrinCy3Cam> Open(const char* cameras) {
    return tevrin::test::OpenVirtualCamera(cameras);
  }

  static bool WriteSensor(CControllerBase& camera, uint16_t address, uint8_t value) {
    const uint8_t data[3] = {static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address), value};
    return camera.I2cWrite(hw::kI2cSensorWrite, data, 3, 3000);
  }

  // Keeps aborting the image pipe until `done`: the abort may come before
  // the read it is meant for has reached the driver.
  static std::thread Aborter(CTevrinCy3Cam& camera, const std::atomic<int>& done) {
    return std::thread([&camera, &done] {
      while (!done.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        camera.AbortImagePipe();
      }
    });
  }

  void TearDown() override { vc::Configure(""); }
};

TEST_F(VirtualCameraTest, Scan_EnumeratesSeveralCamerasWithOrdinalsAndNames) {
  ASSERT_TRUE(vc::Configure("0x3280,0x3290,0x3280"));
  CTevrinCy3Cam camera;
  ASSERT_EQ(camera.ScanDevices(), 3);
  EXPECT_EQ(camera.Entry(0)->path, vc::DevicePath(0));
  EXPECT_EQ(camera.Entry(2)->ordinal, 1);
  EXPECT_EQ(camera.GetDeviceName(1).value_or(""), "TevrinHalden991U_00");
  EXPECT_EQ(camera.GetDeviceName(2).value_or(""), "TevrinHalden991_01");

  vc::Unplug(1);
  EXPECT_FALSE(camera.IsDevicePresent(1));
  EXPECT_FALSE(camera.SelectDevice(1));
  EXPECT_EQ(camera.ScanDevices(), 3) << "an unplugged camera keeps its entry";
  vc::Plug(1);
  EXPECT_TRUE(camera.IsDevicePresent(1));
  EXPECT_TRUE(camera.SelectDevice(1));
}

TEST_F(VirtualCameraTest, Controller_BoardRegistersIdentityAndSpeed) {
  auto camera = Open("0x3280:fpga=0x8133:fw=0x1234");
  EXPECT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputDepth, 1));
  EXPECT_EQ(vc::BoardRegister(0, hw::fpga::kOutputDepth), 1);
  uint8_t value = 0;
  EXPECT_TRUE(camera->ReadBoardRegister(hw::fpga::kOutputDepth, &value));
  EXPECT_EQ(value, 1);

  uint16_t fpga = 0;
  EXPECT_TRUE(camera->ReadFpgaVersion(&fpga));
  EXPECT_EQ(fpga, 0x8133);
  uint8_t info[64] = {};
  EXPECT_TRUE(camera->ReadControllerInfo(info));
  EXPECT_EQ(info[hw::kControllerInfoFirmwareVersion] | info[hw::kControllerInfoFirmwareVersion + 1] << 8, 0x1234);
  uint8_t ready = 0;
  EXPECT_TRUE(camera->ReadReadyFlag(&ready));
  EXPECT_EQ(ready, 1);
  uint32_t speed = 0;
  EXPECT_TRUE(camera->GetDeviceSpeed(&speed));
  EXPECT_EQ(speed, hw::kDeviceSpeedSuper);
  EXPECT_TRUE(camera->ResetPipe(hw::kEndpointImageIn));
}

TEST_F(VirtualCameraTest, Controller_SensorRegistersThroughTheDriversInterface) {
  auto camera = Open("0x3280");
  // Sensor drivers hold only this interface of the controller.
  CControllerBase& bus = *camera;
  ASSERT_TRUE(WriteSensor(bus, hw::imx991::kFlip, 3));
  EXPECT_EQ(vc::SensorRegister(0, hw::imx991::kFlip), 3);
  const uint8_t address[2] = {hw::imx991::kFlip >> 8, hw::imx991::kFlip & 0xFF};
  uint8_t value = 0;
  ASSERT_TRUE(bus.I2cWrite(hw::kI2cSensorWrite, address, 2, 3000));
  ASSERT_TRUE(bus.I2cRead(hw::kI2cSensorWrite, &value, 1, 3000));
  EXPECT_EQ(value, 3);
  ASSERT_TRUE(bus.WriteBoardRegister(hw::fpga::kOutputDepth, 1));
  ASSERT_TRUE(bus.ReadBoardRegister(hw::fpga::kOutputDepth, &value));
  EXPECT_EQ(value, 1);
}

TEST_F(VirtualCameraTest, Controller_EepromBytesAndSerialNumber) {
  auto camera = Open("0x3280:serial=AB123");
  EXPECT_TRUE(camera->WriteEepromByte(0x0020, 0x5C));
  uint8_t value = 0;
  EXPECT_TRUE(camera->ReadEepromByte(0x0020, &value));
  EXPECT_EQ(value, 0x5C);
  std::string serial;
  for (uint16_t address = hw::kEepromSerialNumber; serial.size() < 8; ++address) {
    ASSERT_TRUE(camera->ReadEepromByte(address, &value));
    if (value == hw::kEepromErased) break;
    serial += static_cast<char>(value);
  }
  EXPECT_EQ(serial, "AB123");
}

TEST_F(VirtualCameraTest, Frames_HeaderAndImageOfTheProgrammedSizeAndContent) {
  auto camera = Open("0x3290:pattern");
  Frame frame(kFullFrameBytes + 4096);
  ASSERT_TRUE(camera->ReadFrameHeader(&frame.block));
  ASSERT_EQ(frame.block.header.imageBytes, kFullFrameBytes);
  ASSERT_TRUE(camera->ReadFrameData(&frame.block, 3000));
  const uint32_t counter = frame.block.frameCounter;
  EXPECT_EQ(counter, frame.block.header.frameCounter);
  int wrong = 0;
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x < 640; ++x) {
      uint16_t sample;
      std::memcpy(&sample, frame.bytes.data() + 2 * (y * 640 + x), 2);
      wrong += sample != vc::PatternSample(x, y, counter);
    }
  }
  EXPECT_EQ(wrong, 0);

  // A smaller 8-bit window: the header announces it and the read takes just that.
  ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputDepth, 1));
  ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputWidthLow, 64));
  ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputWidthHigh, 1));
  bool resized = false;
  for (int i = 0; i < 5 && !resized; ++i) {
    ASSERT_TRUE(camera->ReadFrameHeader(&frame.block));
    ASSERT_TRUE(camera->ReadFrameData(&frame.block, 3000));
    resized = frame.block.header.imageBytes == 320u * 512u;
  }
  EXPECT_TRUE(resized);
  EXPECT_GT(frame.block.frameCounter, counter);
  camera->CloseStream();
}

TEST_F(VirtualCameraTest, Frames_RetryAfterFailedHeadersAndFailOnShortOrFailedData) {
  auto camera = Open("0x3280");
  Frame frame(kFullFrameBytes);
  vc::FailNextFrameHeaders(0, 2);
  ASSERT_TRUE(camera->ReadFrameHeader(&frame.block)) << "two failures are retried";
  EXPECT_EQ(vc::BoardRegister(0, hw::fpga::kRestartPulse), 0) << "the pulse ends low";

  vc::ShortenNextTransfer(0, 100);
  EXPECT_FALSE(camera->ReadFrameData(&frame.block, 3000)) << "a short chunk is no frame";

  ASSERT_TRUE(camera->ReadFrameHeader(&frame.block));
  vc::FailNextTransfers(0, 1);
  EXPECT_FALSE(camera->ReadFrameData(&frame.block, 3000));
  camera->CloseStream();
}

TEST_F(VirtualCameraTest, Frames_AbortFromAnotherThreadEndsAStalledRead) {
  auto camera = Open("0x3280");
  Frame frame(kFullFrameBytes);
  ASSERT_TRUE(camera->ReadFrameHeader(&frame.block));
  vc::StallStream(0, true);
  std::atomic<int> done{0};
  std::thread aborter = Aborter(*camera, done);
  EXPECT_FALSE(camera->ReadFrameData(&frame.block, 60000));
  done.store(1);
  aborter.join();
  vc::StallStream(0, false);
  camera->CloseStream();
}

TEST_F(VirtualCameraTest, Frames_UnplugDuringAReadFailsItAndThePlugBackServesAgain) {
  auto camera = Open("0x3280");
  Frame frame(kFullFrameBytes);
  ASSERT_TRUE(camera->ReadFrameHeader(&frame.block));
  vc::StallStream(0, true);
  std::thread unplug([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    vc::Unplug(0);
  });
  EXPECT_FALSE(camera->ReadFrameData(&frame.block, 60000));
  unplug.join();
  EXPECT_FALSE(camera->ReadFrameHeader(&frame.block)) << "the old stream handle stays dead";
  camera->CloseStream();
  EXPECT_FALSE(camera->OpenStream());

  vc::StallStream(0, false);
  vc::Plug(0);
  ASSERT_TRUE(camera->SelectDevice(0));
  ASSERT_TRUE(camera->ReadFrameHeader(&frame.block));
  EXPECT_TRUE(camera->ReadFrameData(&frame.block, 3000));
  camera->CloseStream();
}

TEST_F(VirtualCameraTest, Memory_WindowRoundTrip) {
  auto camera = Open("0x3280");
  std::vector<uint8_t> written(5000), read(5000);
  for (size_t i = 0; i < written.size(); ++i) written[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(camera->WriteMemory(0x10000, written.data(), 5000));
  ASSERT_TRUE(camera->ReadMemory(0x10000, read.data(), 5000));
  EXPECT_EQ(read, written);
}

}  // namespace
