// Release while the application still uses the handle: a call in flight on
// another thread, and frame notifications still queued in the window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <thread>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/PatternCamera.h"

namespace {

namespace vc = tevrin::virtualcam;
constexpr int kFrame8 = tevrin::test::kPixels;

class HardeningRelease : public tevrin::test::PatternCameraTest {
 protected:
  void SetUp() override {
    PatternCameraTest::SetUp();
    ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
  }
};

TEST_F(HardeningRelease, ReleaseWaitsForACallInFlightAndLaterCallsFindNoHandle) {
  // The snapshot waits for a frame the stalled camera does not send.
  vc::StallStream(0, true);
  std::vector<BYTE> frame(kFrame8);
  int snapped = -1;
  std::thread application([&] { snapped = Tevrin_SnapShot(handle_, frame.data(), kFrame8, 1); });
  Sleep(200);
  EXPECT_EQ(Tevrin_Release(handle_), 1);
  application.join();
  vc::StallStream(0, false);
  EXPECT_EQ(snapped, 0);
  EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), kFrame8, 1), 0);
  EXPECT_EQ(Tevrin_GetWaitTime(handle_), -1);
  EXPECT_EQ(Tevrin_Release(handle_), 0);
}

TEST_F(HardeningRelease, FrameNotificationsStayReadableAfterRelease) {
  std::vector<BYTE> frame(kFrame8);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, window_, frame.data(), kFrame8, 1), 1);
  Sleep(200);  // frames queue up unhandled
  ASSERT_EQ(Tevrin_Release(handle_), 1);
  const auto frames = PumpFrames(1000, 0.2);
  ASSERT_FALSE(frames.empty());
  for (const auto& [wParam, lParam] : frames) {
    ASSERT_NE(wParam, 0u) << "frame error " << lParam;
    const auto* info = reinterpret_cast<const FrameInfo*>(wParam);
    EXPECT_EQ(info->width, 640);
    EXPECT_EQ(info->bitsPerPixel, 8);
    EXPECT_EQ(info->buffer, frame.data());
  }
}

}  // namespace
