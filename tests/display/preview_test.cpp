// The camera's preview window on an X server: the frame the application was
// given is the picture the server shows, and closing the window through the
// window manager leaves the camera running without it.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <cstdint>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/ApplicationWindow.h"
#include "support/XServer.h"

namespace {

namespace vc = tevrin::virtualcam;
using tevrin::test::WaitUntil;
constexpr int kWidth = 640;
constexpr int kHeight = 512;

class DisplayPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Connected());
    ASSERT_TRUE(vc::Configure("0x3280:fast:pattern"));
    handle_ = Tevrin_Initialize(nullptr);
    ASSERT_NE(handle_, 0);
    ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
    ASSERT_EQ(Tevrin_SetWaitTime(handle_, 1), 1);
    listener_ = tevrin::test::CreateApplicationWindow();
    ASSERT_EQ(Tevrin_CallBackPreview(handle_, listener_, frame_.data(), static_cast<int>(frame_.size()), 1), 1);
    ASSERT_EQ(tevrin::test::PumpFrameMessages(listener_, 3, 20.0).size(), 3u);
  }

  void TearDown() override {
    EXPECT_EQ(Tevrin_Close(handle_), 1);
    Tevrin_Release(handle_);
    DestroyWindow(listener_);
  }

  tevrin::test::XServer server_;
  int handle_ = 0;
  HWND listener_ = nullptr;
  std::vector<uint8_t> frame_ = std::vector<uint8_t>(kWidth * kHeight);
};

TEST_F(DisplayPreview, ServerShowsTheDeliveredFrameCentred) {
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);  // the window keeps the last frame until Close
  auto id = server_.FindWindow("Active Window");
  ASSERT_TRUE(id);
  auto geometry = server_.Geometry(*id);
  ASSERT_TRUE(geometry);
  // The 656 x 551 window centred on the 1600 x 900 screen, its client area inside the frame.
  EXPECT_EQ(geometry->x, (1600 - 656) / 2 + 8);
  EXPECT_EQ(geometry->y, (900 - 551) / 2 + 31);
  EXPECT_EQ(geometry->width, kWidth);
  EXPECT_EQ(geometry->height, kHeight);
  std::vector<uint32_t> expected;
  for (uint8_t value : frame_) expected.push_back(value << 16 | value << 8 | value);
  EXPECT_TRUE(WaitUntil([&] { return server_.Pixels(*id, kWidth, kHeight) == expected; }));
}

TEST_F(DisplayPreview, ClosingTheWindowLeavesTheCameraRunning) {
  HWND window = FindWindowA(nullptr, "Active Window");
  auto id = server_.FindWindow("Active Window");
  ASSERT_TRUE(id);
  server_.SendDeleteWindow(*id);
  // The window belongs to the thread that started the preview: WM_CLOSE comes through its messages.
  EXPECT_TRUE(WaitUntil([&] {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    return !IsWindow(window);
  }));
  EXPECT_EQ(tevrin::test::PumpFrameMessages(listener_, 3, 20.0).size(), 3u);
  EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
}

}  // namespace
