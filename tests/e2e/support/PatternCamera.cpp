#include "support/PatternCamera.h"

#include <TevrinSdk_Halden.h>

#include "support/ApplicationWindow.h"

namespace tevrin::test {

void PatternCameraTest::SetUp() {
  handle_ = OpenCameras("0x3280:fast:pattern");
  ASSERT_NE(handle_, 0);
  window_ = CreateApplicationWindow();
  ASSERT_NE(window_, nullptr);
}

void PatternCameraTest::TearDown() {
  if (handle_) Tevrin_Release(handle_);
  if (window_) DestroyWindow(window_);
}

std::vector<uint8_t> PatternCameraTest::Snap8() {
  std::vector<uint8_t> frame(kPixels);
  EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), kPixels, 1), 1);
  return frame;
}

std::vector<uint16_t> PatternCameraTest::Snap16() {
  std::vector<uint16_t> frame(kPixels);
  EXPECT_EQ(Tevrin_SnapShot(handle_, reinterpret_cast<BYTE*>(frame.data()), kPixels * 2, 1), 1);
  return frame;
}

std::vector<int> PatternCameraTest::Errors() const {
  return TakeErrors(handle_);
}

std::vector<std::pair<WPARAM, LPARAM>> PatternCameraTest::PumpFrames(size_t wanted, double seconds) {
  return PumpFrameMessages(window_, wanted, seconds);
}

}  // namespace tevrin::test
