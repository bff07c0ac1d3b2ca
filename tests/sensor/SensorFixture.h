// Sensor drivers on virtual cameras through the real transport. The driver
// is given a controller that forwards to the FX3 controller and counts the
// traffic, so a test can tell that nothing reached the camera.
#pragma once

#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <atomic>
#include <cstdlib>
#include <memory>

#include "device/ProductTable.h"
#include "usb/TevrinCy3Cam.h"

namespace tevrin::test {

class CountingController final : public CControllerBase {
 public:
  explicit CountingController(CTevrinCy3Cam& camera) : camera_(camera) {}

  int GetReserved() override { return camera_.GetReserved(); }
  int ReleaseTransfer() override { return camera_.ReleaseTransfer(); }
  int SelectDevice(int index) override { return camera_.SelectDevice(index); }
  int ReadFpgaVersion(uint16_t* version) override { return camera_.ReadFpgaVersion(version); }
  int ReadReadyFlag(uint8_t* ready) override { return camera_.ReadReadyFlag(ready); }
  int SendCommandCC() override { return camera_.SendCommandCC(); }
  int I2cWrite(uint8_t address, const uint8_t* data, uint32_t count, uint32_t timeoutMs) override {
    if (sensorWritesLeft.load() == 0) return 0;
    if (sensorWritesLeft.load() > 0) --sensorWritesLeft;
    ++sensorWrites;
    return camera_.I2cWrite(address, data, count, timeoutMs);
  }
  int I2cRead(uint8_t address, uint8_t* data, uint32_t count, uint32_t timeoutMs) override {
    return camera_.I2cRead(address, data, count, timeoutMs);
  }
  int WriteWideRegister(uint32_t address, uint32_t value) override { return camera_.WriteWideRegister(address, value); }
  int ReadWideRegister(uint32_t address, uint32_t* value) override { return camera_.ReadWideRegister(address, value); }
  int WriteValuePair(uint16_t first, uint16_t second) override { return camera_.WriteValuePair(first, second); }
  int ReadValue(uint16_t argument, uint32_t* value) override { return camera_.ReadValue(argument, value); }
  int WriteBoardRegister(uint8_t reg, uint8_t value) override {
    ++boardWrites;
    return camera_.WriteBoardRegister(reg, value);
  }
  int ReadBoardRegister(uint8_t reg, uint8_t* value) override { return camera_.ReadBoardRegister(reg, value); }
  int WriteAuxRegister(uint8_t reg, uint8_t value) override { return camera_.WriteAuxRegister(reg, value); }
  int ReadAuxRegister(uint8_t reg, uint8_t* value) override { return camera_.ReadAuxRegister(reg, value); }
  int WriteEepromByte(uint16_t address, uint8_t value) override { return camera_.WriteEepromByte(address, value); }
  int ReadEepromByte(uint16_t address, uint8_t* value) override { return camera_.ReadEepromByte(address, value); }
  int AbortImagePipe() override { return camera_.AbortImagePipe(); }

  std::atomic<int> sensorWrites{0};  // I2C writes: sensor registers and pointer writes
  // I2C writes that still succeed; every later one fails, retries included.
  // Negative: no limit.
  std::atomic<int> sensorWritesLeft{-1};
  std::atomic<int> boardWrites{0};

 private:
  CTevrinCy3Cam& camera_;
};

class SensorTest : public ::testing::Test {
 protected:
  // `cameras` in the virtual camera's list syntax; the driver of the first
  // camera's product ID, on that camera.
  CSensorBase& Open(const char* cameras) {
    EXPECT_TRUE(virtualcam::Configure(cameras));
    camera = std::make_unique<CTevrinCy3Cam>();
    // The device table outlives reconfigurations: find this camera's entry.
    int selected = -1;
    for (int i = 0; i < camera->ScanDevices(); ++i)
      if (camera->Entry(i)->path == virtualcam::DevicePath(0)) selected = i;
    EXPECT_TRUE(camera->SelectDevice(selected));
    controller = std::make_unique<CountingController>(*camera);
    sensor.reset(tevrin::device::CreateProductSensor(static_cast<uint16_t>(std::strtoul(cameras, nullptr, 0)),
                                                     controller.get()));
    EXPECT_NE(sensor, nullptr);
    return *sensor;
  }

  void TearDown() override {
    sensor.reset();
    controller.reset();
    camera.reset();
    virtualcam::Configure("");
  }

  static uint8_t Sensor(uint16_t address) { return virtualcam::SensorRegister(0, address); }
  static uint8_t Board(uint8_t reg) { return virtualcam::BoardRegister(0, reg); }
  // A little-endian value spread over consecutive sensor registers.
  static uint32_t SensorValue(uint16_t address, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | Sensor(static_cast<uint16_t>(address + i));
    return value;
  }
  static uint32_t FrameLength() { return SensorValue(0x2D4, 3); }
  static uint32_t ShutterLine() { return SensorValue(0x440, 3); }
  static uint32_t StartRow() { return SensorValue(0x322, 2); }
  static uint32_t BoardValue(uint8_t reg, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | Board(static_cast<uint8_t>(reg + i));
    return value;
  }
  SensorInfo Info() {
    SensorInfo info{};
    EXPECT_TRUE(sensor->GetSensorInfo(&info));
    return info;
  }

  std::unique_ptr<CTevrinCy3Cam> camera;
  std::unique_ptr<CountingController> controller;
  std::unique_ptr<CSensorBase> sensor;
};

}  // namespace tevrin::test
