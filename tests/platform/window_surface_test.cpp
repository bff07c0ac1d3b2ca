// What a window shows: drawing into a window's DC and reading it back, its
// frame and client size, the screen, focus.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "Win32Expect.h"
#include "Dib.h"
#include "support/RecordingWindow.h"

namespace {

using tevrin::test::CreateRecordingWindow;
using tevrin::test::Dib;
using tevrin::test::ReadWindow;
using tevrin::test::Recorder;

constexpr DWORD kTopLevelStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

TEST(WindowFrame, OverlappedWindowAroundAClientArea) {
  RECT rect{0, 0, 640, 512};
  ASSERT_TRUE(AdjustWindowRectEx(&rect, kTopLevelStyle, FALSE, 0));
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{-8, -31, 648, 520}));
  rect = RECT{0, 0, 10, 10};
  AdjustWindowRectEx(&rect, WS_CAPTION | WS_SYSMENU, TRUE, WS_EX_CLIENTEDGE);
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}), (std::vector<LONG>{-5, -48, 15, 15}));
  rect = RECT{0, 0, 10, 10};
  AdjustWindowRectEx(&rect, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, FALSE, 0);
  EXPECT_EQ(rect.right, 10) << "a plain child has no frame";
  EXPECT_FAILS(AdjustWindowRectEx(nullptr, 0, FALSE, 0), FALSE, ERROR_INVALID_PARAMETER);

  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder, nullptr, kTopLevelStyle);
  ASSERT_TRUE(MoveWindow(window, 632, 264, 656, 551, TRUE));
  GetClientRect(window, &rect);
  EXPECT_EQ((std::vector<LONG>{rect.right, rect.bottom}), (std::vector<LONG>{640, 512}));
  GetWindowRect(window, &rect);
  EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
            (std::vector<LONG>{632, 264, 1288, 815}));
  DestroyWindow(window);
}

TEST(SystemMetrics, ScreenIsConfigurable) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 23);
  EXPECT_EQ(GetSystemMetrics(SM_CXFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER), 8);
  EXPECT_EQ(GetSystemMetrics(12345), 0);
  setenv("TEVRIN_SCREEN", "1280x720", 1);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 720);
  HDC screen = GetDC(nullptr);
  Dib corner(2, -2, 32);
  EXPECT_TRUE(BitBlt(corner.dc, 0, 0, 2, 2, screen, 1279, 719, SRCCOPY)) << "the screen is a surface too";
  ReleaseDC(nullptr, screen);
  setenv("TEVRIN_SCREEN", "wide", 1);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  unsetenv("TEVRIN_SCREEN");
}

TEST(WindowSurface, ShowsWhatWasDrawnUpsideDownFromABottomUpFrame) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder, nullptr, kTopLevelStyle);
  MoveWindow(window, 0, 0, 16 + 16, 8 + 39, TRUE);  // client 16 x 8
  Dib frame(16, 8, 8);                              // bottom-up, storage row 0 is the first row delivered
  for (int storageRow = 0; storageRow < 8; ++storageRow) {
    for (int x = 0; x < 16; ++x) frame.bits[storageRow * frame.stride + x] = static_cast<uint8_t>(storageRow * 16 + x);
  }
  HDC windowDc = GetDC(window);
  ASSERT_NE(windowDc, nullptr);
  ASSERT_TRUE(StretchBlt(windowDc, 0, 0, 16, 8, frame.dc, 0, 8, 16, -8, SRCCOPY));
  std::vector<uint32_t> shown = ReadWindow(window, 16, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) {
      uint32_t grey = static_cast<uint32_t>(y * 16 + x);
      ASSERT_EQ(shown[static_cast<size_t>(y * 16 + x)], grey * 0x010101u) << x << "," << y;
    }
  }

  HBITMAP compatible = CreateCompatibleBitmap(windowDc, 16, 8);
  HDC memory = CreateCompatibleDC(windowDc);
  HGDIOBJ previous = SelectObject(memory, compatible);
  BitBlt(memory, 0, 0, 16, 8, windowDc, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  tevrin::test::DibInfo info = tevrin::test::DibHeader(16, 8, 24);
  std::vector<uint8_t> rgb(48 * 8);
  ASSERT_EQ(GetDIBits(memory, compatible, 0, 8, rgb.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), 8);
  EXPECT_EQ(rgb[0], 7 * 16) << "bottom-up: the bottom row first";
  EXPECT_EQ(rgb[7 * 48 + 3 * 15], 15) << "and the top row last";
  DeleteDC(memory);
  DeleteObject(compatible);

  EXPECT_EQ(ReleaseDC(nullptr, windowDc), 0) << "not the screen's";
  EXPECT_EQ(ReleaseDC(window, windowDc), 1);
  EXPECT_FAILS(SelectObject(windowDc, GetStockObject(BLACK_BRUSH)), nullptr, ERROR_INVALID_HANDLE);
  DestroyWindow(window);
}

TEST(WindowSurface, ChildShowsTheFrameDoubled) {
  Recorder recorder;
  HWND parent = CreateRecordingWindow(recorder, nullptr, kTopLevelStyle);
  HWND child = CreateWindowExA(0, tevrin::test::RecordingClassName(), "ActiveMovie Window",
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 3, 4, 8, 6, parent,
                               reinterpret_cast<HMENU>(6540), nullptr, &recorder);
  ASSERT_NE(child, nullptr);
  Dib frame(4, -3, 32);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) frame.Set(x, y, static_cast<uint32_t>(y * 4 + x));
  }
  HDC dc = GetDC(child);
  SetStretchBltMode(dc, COLORONCOLOR);
  ASSERT_TRUE(StretchBlt(dc, 0, 0, 8, 6, frame.dc, 0, 0, 4, 3, SRCCOPY));
  ReleaseDC(child, dc);
  std::vector<uint32_t> shown = ReadWindow(child, 8, 6);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(shown[static_cast<size_t>(y * 8 + x)], static_cast<uint32_t>(y / 2 * 4 + x / 2));
  }
  DestroyWindow(parent);
}

TEST(WindowSurface, FollowsTheWindowsSizeAndLife) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder, nullptr, WS_VISIBLE);
  MoveWindow(window, 0, 0, 2, 2, TRUE);
  Dib white(4, -4, 32);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) white.Set(x, y, 0xFFFFFF);
  }
  HDC dc = GetDC(window);
  BitBlt(dc, 0, 0, 4, 4, white.dc, 0, 0, SRCCOPY);
  MoveWindow(window, 0, 0, 3, 3, TRUE);
  EXPECT_EQ(ReadWindow(window, 3, 3), (std::vector<uint32_t>{0xFFFFFF, 0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0}))
      << "what was drawn stays; the new part is black";

  ShowWindow(window, SW_MINIMIZE);
  Dib black(3, -3, 32);
  EXPECT_TRUE(BitBlt(dc, 0, 0, 3, 3, black.dc, 0, 0, SRCCOPY));
  ShowWindow(window, SW_RESTORE);
  EXPECT_EQ(ReadWindow(window, 1, 1)[0], 0xFFFFFFu) << "a minimised window takes no drawing";

  std::thread drawer([&] { EXPECT_TRUE(BitBlt(dc, 0, 0, 3, 3, black.dc, 0, 0, SRCCOPY)); });
  drawer.join();
  EXPECT_EQ(ReadWindow(window, 1, 1)[0], 0u) << "drawn from another thread";

  MoveWindow(window, 0, 0, 100000, 100000, TRUE);
  EXPECT_TRUE(BitBlt(dc, 0, 0, 4, 4, white.dc, 0, 0, SRCCOPY)) << "a surface too large to hold takes nothing";
  DestroyWindow(window);
  EXPECT_FAILS(BitBlt(dc, 0, 0, 1, 1, white.dc, 0, 0, SRCCOPY), FALSE, ERROR_INVALID_HANDLE);
  EXPECT_EQ(ReleaseDC(window, dc), 1);
  EXPECT_FAILS(GetDC(window), nullptr, ERROR_INVALID_WINDOW_HANDLE);
}

TEST(WindowSurface, DrawingThreadAndResizingOwnerShareTheSurface) {
  Recorder recorder;
  HWND window = CreateRecordingWindow(recorder, nullptr, WS_VISIBLE);
  MoveWindow(window, 0, 0, 64, 32, TRUE);
  Dib frame(64, 32, 8);
  std::memset(frame.bits, 0x40, static_cast<size_t>(frame.stride) * 32);
  HDC dc = GetDC(window);
  std::atomic<int> stop{0};
  std::thread drawer([&] {
    while (!stop.load()) StretchBlt(dc, 0, 0, 64, 32, frame.dc, 0, 32, 64, -32, SRCCOPY);
  });
  for (int round = 0; round < 200; ++round) {
    MoveWindow(window, 0, 0, 32 + round % 40, 16 + round % 20, TRUE);
    ReadWindow(window, 8, 8);
  }
  stop = 1;
  drawer.join();
  MoveWindow(window, 0, 0, 64, 32, TRUE);
  StretchBlt(dc, 0, 0, 64, 32, frame.dc, 0, 32, 64, -32, SRCCOPY);
  EXPECT_EQ(ReadWindow(window, 64, 32), std::vector<uint32_t>(64 * 32, 0x404040));
  ReleaseDC(window, dc);
  DestroyWindow(window);
}

TEST(WindowState, FocusUpdateAndInvalidate) {
  Recorder recorder;
  HWND first = CreateRecordingWindow(recorder);
  HWND second = CreateRecordingWindow(recorder);
  EXPECT_EQ(SetFocus(first), nullptr);
  EXPECT_EQ(SetFocus(second), first);
  EXPECT_EQ(GetFocus(), second);
  std::vector<UINT> focusMessages;
  for (const auto& received : recorder.All()) {
    if (received.message == WM_SETFOCUS || received.message == WM_KILLFOCUS) focusMessages.push_back(received.message);
  }
  EXPECT_EQ(focusMessages, (std::vector<UINT>{WM_SETFOCUS, WM_KILLFOCUS, WM_SETFOCUS}));
  EXPECT_FAILS(SetFocus(reinterpret_cast<HWND>(0x7)), nullptr, ERROR_INVALID_WINDOW_HANDLE);
  std::thread([&] { EXPECT_FAILS(SetFocus(second), nullptr, ERROR_ACCESS_DENIED); }).join();

  EXPECT_TRUE(UpdateWindow(first));
  EXPECT_TRUE(InvalidateRect(first, nullptr, TRUE));
  EXPECT_TRUE(InvalidateRect(nullptr, nullptr, FALSE));
  DestroyWindow(second);
  EXPECT_EQ(GetFocus(), nullptr) << "focus goes with the window";
  EXPECT_FAILS(UpdateWindow(second), FALSE, ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FAILS(InvalidateRect(second, nullptr, TRUE), FALSE, ERROR_INVALID_WINDOW_HANDLE);
  DestroyWindow(first);
}

}  // namespace
