// Windows of the platform on an X server: what the server shows, read from
// the server itself, and what a window manager's requests do to the windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "Dib.h"
#include "support/XServer.h"

namespace {

using tevrin::test::WaitUntil;
constexpr DWORD kTopLevelStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

HWND CreateTitled(const char* title, DWORD style, int x, int y, int width, int height, HWND parent = nullptr) {
  static const ATOM registered = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "DisplayTestWindow";
    return RegisterClassExA(&windowClass);
  }();
  if (!registered) return nullptr;
  return CreateWindowExA(0, "DisplayTestWindow", title, style, x, y, width, height, parent, nullptr, nullptr,
                         nullptr);
}

class DisplayWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.Connected()); }
  tevrin::test::XServer server_;
};

TEST_F(DisplayWindow, SystemMetricsReportTheServersScreen) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), server_.ScreenWidth());
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), server_.ScreenHeight());
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
}

TEST_F(DisplayWindow, TopLevelWindowShowsItsTitleAndClientArea) {
  // A thick frame of 8 and a caption of 23 around a 400 x 300 client area.
  HWND window = CreateTitled("first title", kTopLevelStyle, 100, 50, 416, 339);
  ASSERT_NE(window, nullptr);
  auto id = server_.FindWindow("first title");
  ASSERT_TRUE(id);
  auto geometry = server_.Geometry(*id);
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->x, 108);
  EXPECT_EQ(geometry->y, 81);
  EXPECT_EQ(geometry->width, 400);
  EXPECT_EQ(geometry->height, 300);

  ASSERT_TRUE(SetWindowTextA(window, "second title"));
  EXPECT_TRUE(WaitUntil([&] { return server_.Title(*id) == "second title"; }));
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_TRUE(WaitUntil([&] { return !server_.Geometry(*id); }));
}

TEST_F(DisplayWindow, ChildWindowShowsWhatWasDrawnIntoIt) {
  HWND parent = CreateTitled("parent", kTopLevelStyle, 0, 0, 416, 339);
  HWND child = CreateTitled("child", WS_CHILD | WS_VISIBLE, 20, 10, 64, 32, parent);
  ASSERT_NE(child, nullptr);
  tevrin::test::Dib picture(64, 32, 32);
  std::vector<uint32_t> expected;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      const uint32_t color = static_cast<uint32_t>(x * 4) | static_cast<uint32_t>(y * 8) << 8 | 0x5A0000u;
      picture.Set(x, y, color);
      expected.push_back(color);
    }
  }
  HDC dc = GetDC(child);
  ASSERT_TRUE(BitBlt(dc, 0, 0, 64, 32, picture.dc, 0, 0, SRCCOPY));
  ReleaseDC(child, dc);

  auto id = server_.FindWindow("child");
  ASSERT_TRUE(id);
  auto geometry = server_.Geometry(*id);
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->x, 20);
  EXPECT_EQ(geometry->y, 10);
  EXPECT_TRUE(WaitUntil([&] { return server_.Pixels(*id, 64, 32) == expected; }));
  DestroyWindow(parent);
}

TEST_F(DisplayWindow, ClosingThroughTheWindowManagerSendsWmClose) {
  HWND window = CreateTitled("to close", kTopLevelStyle, 0, 0, 300, 200);
  auto id = server_.FindWindow("to close");
  ASSERT_TRUE(id);
  server_.SendDeleteWindow(*id);
  // WM_CLOSE arrives through this thread's messages; DefWindowProcA answers it by destroying the window.
  EXPECT_TRUE(WaitUntil([&] {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    return !IsWindow(window);
  }));
}

TEST_F(DisplayWindow, ResizingOnTheServerChangesTheWindowsRectangles) {
  HWND window = CreateTitled("to resize", kTopLevelStyle, 0, 0, 416, 339);
  auto id = server_.FindWindow("to resize");
  ASSERT_TRUE(id);
  server_.Resize(*id, 300, 200);
  EXPECT_TRUE(WaitUntil([&] {
    RECT client{};
    GetClientRect(window, &client);
    return client.right == 300 && client.bottom == 200;
  }));
  RECT outer{};
  GetWindowRect(window, &outer);
  EXPECT_EQ(outer.right - outer.left, 316);
  EXPECT_EQ(outer.bottom - outer.top, 239);
  DestroyWindow(window);
}

}  // namespace
