// The preview window end to end: where it appears and what it shows, read
// back from the window the way a Windows test reads a window.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <cstdint>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "Dib.h"
#include "support/ApplicationWindow.h"

namespace {

namespace vc = tevrin::virtualcam;
constexpr int kWidth = 640;
constexpr int kHeight = 512;
constexpr DWORD kTopLevelStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

class PreviewWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(vc::Configure("0x3280:fast:pattern"));
    handle_ = Tevrin_Initialize(nullptr);
    ASSERT_NE(handle_, 0);
    ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
    ASSERT_EQ(Tevrin_SetWaitTime(handle_, 1), 1);
  }

  void TearDown() override { Tevrin_Release(handle_); }

  // Waits for `count` frames announced to `window`.
  static void WaitFrames(HWND window, size_t count) {
    ASSERT_EQ(tevrin::test::PumpFrameMessages(window, count, 20.0).size(), count);
  }

  int handle_ = 0;
};

TEST_F(PreviewWindow, ChildWindowShowsEachPixelTwoByTwo) {
  HWND parent = tevrin::test::CreateApplicationWindow(kTopLevelStyle, 1400, 1100, nullptr);
  ASSERT_NE(parent, nullptr);
  ASSERT_EQ(Tevrin_SetPreviewWindow(handle_, parent, 10, 20, 1280, 1024), 1);
  std::vector<uint8_t> frame(kWidth * kHeight);
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, parent, frame.data(), static_cast<int>(frame.size()), 1), 1);
  WaitFrames(parent, 3);
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);  // the window stays until Close

  HWND child = GetDlgItem(parent, 6540);
  ASSERT_NE(child, nullptr);
  RECT client{};
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 1280);
  EXPECT_EQ(client.bottom, 1024);

  const std::vector<uint32_t> shown = tevrin::test::ReadWindow(child, 1280, 1024);
  int wrong = 0;
  for (int y = 0; y < kHeight; y += 7) {
    for (int x = 0; x < kWidth; x += 5) {
      const uint32_t value = frame[y * kWidth + x];
      const uint32_t gray = value << 16 | value << 8 | value;
      for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) wrong += shown[(2 * y + dy) * 1280 + 2 * x + dx] != gray;
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(Tevrin_Close(handle_), 1);
  EXPECT_EQ(GetDlgItem(parent, 6540), nullptr);
  EXPECT_EQ(Tevrin_Close(handle_), 1);  // a second Close does no harm
  DestroyWindow(parent);
}

TEST_F(PreviewWindow, TopLevelWindowIsCentredAtTheFrameSize) {
  // The construction defaults place a 640 x 512 top-level window.
  std::vector<uint8_t> frame(kWidth * kHeight);
  HWND listener = tevrin::test::CreateApplicationWindow();
  ASSERT_EQ(Tevrin_CallBackPreview(handle_, listener, frame.data(), static_cast<int>(frame.size()), 1), 1);
  WaitFrames(listener, 2);
  HWND window = FindWindowA(nullptr, "Active Window");
  ASSERT_NE(window, nullptr);
  RECT client{}, outer{};
  GetClientRect(window, &client);
  GetWindowRect(window, &outer);
  EXPECT_EQ(client.right, kWidth);
  EXPECT_EQ(client.bottom, kHeight);
  EXPECT_EQ(outer.left, (1920 - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (1080 - (outer.bottom - outer.top)) / 2);
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);
  // Drawn one to one, the first delivered row at the top.
  const std::vector<uint32_t> shown = tevrin::test::ReadWindow(window, kWidth, kHeight);
  EXPECT_EQ(shown[0] & 0xFF, frame[0]);
  EXPECT_EQ(shown[(kHeight - 1) * kWidth + 100] & 0xFF, frame[(kHeight - 1) * kWidth + 100]);
  EXPECT_EQ(Tevrin_Close(handle_), 1);
  EXPECT_EQ(FindWindowA(nullptr, "Active Window"), nullptr);

  ASSERT_EQ(Tevrin_SetSubSample(handle_, 1), 1);
  ASSERT_EQ(Tevrin_Preview(handle_), 1);
  window = FindWindowA(nullptr, "Active Window");
  ASSERT_NE(window, nullptr);
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, kWidth / 2);
  EXPECT_EQ(client.bottom, kHeight / 2);
  EXPECT_EQ(Tevrin_Close(handle_), 1);
  DestroyWindow(listener);
}

}  // namespace
