// The device object on virtual cameras: a test subclass that reaches the
// sensor and counts what the tests need, a fixture that configures the
// cameras and opens devices, and a small sensor for products whose drivers
// this build does not carry.
#pragma once

#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "device/TevrinU3K5Base.h"

namespace tevrin::device {

// Failed expectations print these by their numbers.
inline void PrintTo(WaitResult result, std::ostream* out) {
  *out << static_cast<int>(result);
}
inline void PrintTo(FrameStatus status, std::ostream* out) {
  *out << static_cast<int>(status);
}

}  // namespace tevrin::device

namespace tevrin::test {

using device::CaptureMode;
using device::FrameStatistics;
using device::FrameStatus;
using device::TriggerMode;
using device::WaitResult;

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 512;

class TestDevice final : public CTevrinU3K5Base {
 public:
  // The acquisition thread calls the overrides below: it must be gone
  // before this part of the object is.
  ~TestDevice() override { CloseDevice(); }

  bool HasSensor() const { return Sensor() != nullptr; }
  SensorInfo& Info() { return Sensor()->Info(); }

  int WriteFpgaRegister(int reg, int value) override {
    ++fpgaWrites;
    return CTevrinU3K5Base::WriteFpgaRegister(reg, value);
  }
  int AcquisitionLoop() override {
    const int result = CTevrinU3K5Base::AcquisitionLoop();
    ++loopsEnded;
    return result;
  }
  int AcquisitionLoopAux() override {
    const int result = CTevrinU3K5Base::AcquisitionLoopAux();
    ++loopsEnded;
    return result;
  }

  // Waits (generously) until `count` acquisition loops have ended.
  bool AwaitLoopsEnded(int count) const;
  // The board register through the device, -1 when the read fails.
  int Board(int reg);

  std::atomic<int> fpgaWrites{0};
  std::atomic<int> loopsEnded{0};
};

// A sensor with nothing but a 640 x 512 window read top-down, for products
// that have no driver here.
class TestSensor final : public CSensorBase {
 public:
  explicit TestSensor(CControllerBase* controller);
  int IsReady() override { return 1; }
  int Initialize() override { return 1; }
};
CSensorBase* MakeTestSensor(uint16_t productId, CControllerBase* controller);

class DeviceTest : public ::testing::Test {
 protected:
  // Replaces the virtual cameras by `cameras` and opens ordinal 0 of the
  // first camera's product ID (its driver from `factory` when given).
  TestDevice& Open(const char* cameras, CTevrinU3K5Base::SensorFactory factory = nullptr);
  // Another device object for `productId` with its controller, not opened.
  TestDevice& AddDevice(int productId, CTevrinU3K5Base::SensorFactory factory = nullptr);
  void TearDown() override;

  std::vector<std::unique_ptr<TestDevice>> devices;
};

// Waits for a frame that has not been copied out: kNewFrame, or the last
// answer. One wait may answer kNoNewFrame although a frame came, when the
// event was left signalled by a frame that a copy-out has already taken or
// when the write index has come round to the last-read index; the next wait
// then sees it.
WaitResult AwaitFrame(CTevrinU3K5Base& device, int attempts = 3);
// Waits for a failing acquisition to report kError, through at most two
// minutes of waits that see no frame; the last answer.
WaitResult AwaitFailure(CTevrinU3K5Base& device);

// Starts a continuous capture without a frame time-out, stalls the camera
// once a frame came and stops with abort while the thread waits for the
// next; the camera streams again afterwards.
void StopWithAbortWhileStalled(TestDevice& device);

// Frame period in sensor lines (VMAX) so long that a consumer in a
// sanitizer build keeps up with every frame.
void SlowFrames(CTevrinU3K5Base& device, uint32_t vmax);

}  // namespace tevrin::test
