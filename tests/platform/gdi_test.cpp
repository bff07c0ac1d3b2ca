// Bitmaps and memory DCs as a Windows programmer uses them: DIB section
// layouts, selection rules, colour tables, copies between formats, mirrored
// and scaled StretchBlt, GetDIBits, and failures on bad handles.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "Win32Expect.h"
#include "Dib.h"

namespace {

using tevrin::test::Dib;
using tevrin::test::DibHeader;
using tevrin::test::DibInfo;

BITMAPINFO* Info(DibInfo& info) {
  return reinterpret_cast<BITMAPINFO*>(&info);
}

// Each pixel of a 32-bit DIB gets a value naming its position: 0x00YYXX.
void FillPositions(Dib& dib) {
  for (int y = 0; y < dib.height; ++y) {
    for (int x = 0; x < dib.width; ++x) dib.Set(x, y, static_cast<uint32_t>((y << 8) | x));
  }
}

TEST(DibSection, LayoutFollowsTheHeader) {
  for (int bitCount : {8, 16, 24, 32}) {
    for (int height : {3, -3}) {
      DibInfo info = DibHeader(5, height, bitCount);
      void* bits = nullptr;
      HBITMAP bitmap = CreateDIBSection(nullptr, Info(info), DIB_RGB_COLORS, &bits, nullptr, 0);
      ASSERT_NE(bitmap, nullptr) << bitCount;
      ASSERT_NE(bits, nullptr);
      EXPECT_EQ(reinterpret_cast<uintptr_t>(bits) % 64, 0u);
      int stride = (5 * bitCount / 8 + 3) / 4 * 4;
      auto* bytes = static_cast<uint8_t*>(bits);
      EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + stride * 3), std::vector<uint8_t>(stride * 3, 0)) << "zero-filled";

      DibInfo queried{};
      queried.header.biSize = sizeof(BITMAPINFOHEADER);
      HDC dc = CreateCompatibleDC(nullptr);
      EXPECT_EQ(GetDIBits(dc, bitmap, 0, 0, nullptr, Info(queried), DIB_RGB_COLORS), 3);
      EXPECT_EQ(queried.header.biWidth, 5);
      EXPECT_EQ(queried.header.biHeight, height);
      EXPECT_EQ(queried.header.biBitCount, bitCount);
      EXPECT_EQ(queried.header.biSizeImage, static_cast<DWORD>(stride * 3));
      DeleteDC(dc);
      EXPECT_TRUE(DeleteObject(bitmap));
    }
  }
}

TEST(DibSection, RefusesWhatItCannotHold) {
  void* bits = reinterpret_cast<void*>(1);
  auto refused = [&](DibInfo info, UINT usage = DIB_RGB_COLORS) {
    EXPECT_FAILS(CreateDIBSection(nullptr, Info(info), usage, &bits, nullptr, 0), nullptr, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(bits, nullptr);
  };
  refused(DibHeader(0, 4, 8));
  refused(DibHeader(4, 0, 8));
  refused(DibHeader(4, 4, 1));
  refused(DibHeader(4, 4, 48));
  refused(DibHeader(4, 4, 8), DIB_PAL_COLORS);
  DibInfo bitfields = DibHeader(4, 4, 32);
  bitfields.header.biCompression = BI_BITFIELDS;
  refused(bitfields);
  DibInfo shortHeader = DibHeader(4, 4, 32);
  shortHeader.header.biSize = 12;
  refused(shortHeader);
  EXPECT_FAILS(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr, ERROR_INVALID_PARAMETER);
  for (DibInfo huge : {DibHeader(70000, 70000, 32), DibHeader(1 << 30, 1, 32)}) {
    EXPECT_FAILS(CreateDIBSection(nullptr, Info(huge), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr,
                 ERROR_NOT_ENOUGH_MEMORY);
  }
}

TEST(DeviceContext, SelectionFollowsWindowsRules) {
  DibInfo info = DibHeader(2, 2, 32);
  HBITMAP bitmap = CreateDIBSection(nullptr, Info(info), DIB_RGB_COLORS, nullptr, nullptr, 0);
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(first);
  ASSERT_NE(second, nullptr);

  HGDIOBJ original = SelectObject(first, bitmap);
  ASSERT_NE(original, nullptr) << "a new memory DC holds a default bitmap";
  EXPECT_EQ(SelectObject(first, bitmap), bitmap) << "reselecting returns the same bitmap";
  EXPECT_EQ(SelectObject(second, bitmap), nullptr) << "a bitmap lives in one DC at a time";
  EXPECT_FALSE(DeleteObject(bitmap)) << "still selected";
  EXPECT_EQ(SelectObject(second, original), original) << "the default bitmap may be in many DCs";

  HGDIOBJ black = GetStockObject(BLACK_BRUSH);
  HGDIOBJ white = SelectObject(first, black);
  EXPECT_EQ(white, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(first, white), black);
  EXPECT_TRUE(DeleteObject(black)) << "deleting a stock object does nothing";
  EXPECT_EQ(SelectObject(first, black), white);

  EXPECT_EQ(SelectObject(first, original), bitmap);
  EXPECT_EQ(SelectObject(second, bitmap), original) << "free again once the first DC let go";
  EXPECT_TRUE(DeleteDC(second));
  EXPECT_TRUE(DeleteObject(bitmap)) << "a deleted DC releases its bitmap";
  EXPECT_FAILS(DeleteObject(bitmap), FALSE, ERROR_INVALID_HANDLE);
  EXPECT_TRUE(DeleteDC(first));
}

TEST(DeviceContext, BadHandlesFail) {
  auto bogus = reinterpret_cast<HDC>(0x1234);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_FAILS(CreateCompatibleDC(bogus), nullptr, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(SelectObject(bogus, GetStockObject(BLACK_BRUSH)), nullptr, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(SelectObject(dc, reinterpret_cast<HGDIOBJ>(0x1234)), nullptr, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(SelectObject(dc, dc), nullptr, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(SelectObject(dc, GetStockObject(DEFAULT_PALETTE)), nullptr, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(DeleteObject(nullptr), FALSE, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(DeleteObject(dc), FALSE, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(DeleteDC(bogus), FALSE, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(BitBlt(dc, 0, 0, 1, 1, bogus, 0, 0, SRCCOPY), FALSE, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY), FALSE, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, SRCAND), FALSE, ERROR_NOT_SUPPORTED);
  EXPECT_FAILS(SetStretchBltMode(bogus, COLORONCOLOR), 0, ERROR_INVALID_HANDLE);
  EXPECT_FAILS(SetStretchBltMode(dc, 7), 0, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(GetDIBits(dc, reinterpret_cast<HBITMAP>(dc), 0, 1, nullptr, nullptr, DIB_RGB_COLORS), 0,
               ERROR_INVALID_HANDLE);
  EXPECT_FAILS(GetStockObject(9), nullptr, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(CreateCompatibleBitmap(bogus, 4, 4), nullptr, ERROR_INVALID_HANDLE);
  RGBQUAD quad{};
  EXPECT_EQ(SetDIBColorTable(dc, 0, 1, &quad), 0u) << "no DIB section selected";
  EXPECT_EQ(SetDIBColorTable(bogus, 0, 1, &quad), 0u);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0) << "a memory DC is not released";
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FAILS(DeleteDC(dc), FALSE, ERROR_INVALID_HANDLE);
}

TEST(DeviceContext, StretchModeAndCursors) {
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SetStretchBltMode(dc, COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(SetStretchBltMode(dc, HALFTONE), COLORONCOLOR);
  EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);
  DeleteDC(dc);

  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
  EXPECT_NE(LoadCursorA(nullptr, IDC_WAIT), arrow);
  EXPECT_FAILS(LoadCursorA(nullptr, MAKEINTRESOURCEA(5)), nullptr, ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_FAILS(LoadCursorA(GetModuleHandleA(nullptr), IDC_ARROW), nullptr, ERROR_RESOURCE_NAME_NOT_FOUND);
}

TEST(ColorTable, EightBitPixelsDrawThroughTheirTable) {
  Dib indexed(4, 1, 8, {0x000000FF, 0x0000FF00, 0x00FF0000});
  for (int x = 0; x < 4; ++x) indexed.Set(x, 0, static_cast<uint32_t>(x));
  Dib target(4, 1, 32);
  ASSERT_TRUE(BitBlt(target.dc, 0, 0, 4, 1, indexed.dc, 0, 0, SRCCOPY));
  EXPECT_EQ((std::vector<uint32_t>{target.At(0, 0), target.At(1, 0), target.At(2, 0), target.At(3, 0)}),
            (std::vector<uint32_t>{0x0000FF, 0x00FF00, 0xFF0000, 0x030303}));

  RGBQUAD replaced[2] = {{0x10, 0x20, 0x30, 0}, {0x40, 0x50, 0x60, 0}};
  EXPECT_EQ(SetDIBColorTable(indexed.dc, 255, 2, replaced), 1u) << "only what fits the table";
  EXPECT_EQ(SetDIBColorTable(indexed.dc, 1, 2, replaced), 2u);
  RGBQUAD read[3];
  EXPECT_EQ(GetDIBColorTable(indexed.dc, 0, 3, read), 3u);
  EXPECT_EQ(read[2].rgbRed, 0x60);
  BitBlt(target.dc, 0, 0, 4, 1, indexed.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(target.At(1, 0), 0x302010u);
  EXPECT_EQ(target.At(2, 0), 0x605040u);

  Dib grey(4, 1, 8);
  Dib copied(4, 1, 8, {0, 0, 0x00505050});
  grey.Set(0, 0, 0x50);
  grey.Set(1, 0, 0x51);
  BitBlt(copied.dc, 0, 0, 4, 1, grey.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(copied.At(0, 0), 2u) << "different tables: the first nearest colour";
  EXPECT_EQ(copied.At(1, 0), 0x51u);
  Dib same(4, 1, 8);
  BitBlt(same.dc, 0, 0, 4, 1, grey.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(same.At(1, 0), 0x51u) << "equal tables: the indexes";
}

TEST(Formats, ConvertBetweenBitCounts) {
  Dib source(3, 1, 32);
  source.Set(0, 0, 0xFF102030);  // the alpha byte is not a colour
  source.Set(1, 0, 0x00FFFFFF);
  source.Set(2, 0, 0x00080800);
  Dib rgb(3, 1, 24), rgb16(3, 1, 16), back(3, 1, 32);
  BitBlt(rgb.dc, 0, 0, 3, 1, source.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(rgb.At(0, 0), 0x102030u);
  BitBlt(rgb16.dc, 0, 0, 3, 1, rgb.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(rgb16.At(1, 0), 0x7FFFu);
  EXPECT_EQ(rgb16.At(2, 0), (1u << 5) | (1u << 10));
  BitBlt(back.dc, 0, 0, 3, 1, rgb16.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(back.At(1, 0), 0xFFFFFFu);
  EXPECT_EQ(back.At(2, 0), 0x080800u) << "five bits widen by replication";
}

// Grey and 24-bit rows take block-wise paths to 32 bits; every row length
// must end them exactly, the last pixel included.
TEST(Formats, RowsOfAnyLengthReachThirtyTwoBits) {
  for (int bitCount : {8, 24}) {
    for (int width : {1, 2, 3, 15, 16, 17, 33}) {
      Dib source(width, 2, bitCount), target(width, 2, 32);
      for (int x = 0; x < width; ++x) {
        source.Set(x, 0, bitCount == 8 ? static_cast<uint32_t>(x * 7 + 1) : 0x010203u * static_cast<uint32_t>(x + 1));
        source.Set(x, 1, bitCount == 8 ? 255u : 0xFEDCBAu);
      }
      ASSERT_TRUE(StretchBlt(target.dc, 0, 0, width, 2, source.dc, 0, 2, width, -2, SRCCOPY));
      for (int x = 0; x < width; ++x) {
        const uint32_t top = source.At(x, 1), bottom = source.At(x, 0);
        EXPECT_EQ(target.At(x, 0), bitCount == 8 ? top * 0x010101u : top) << bitCount << " bits, width " << width;
        EXPECT_EQ(target.At(x, 1), bitCount == 8 ? bottom * 0x010101u : bottom) << bitCount << " bits, width " << width;
      }
    }
  }
}

TEST(StretchBlt, NegativeExtentsMirror) {
  Dib source(4, -3, 32);
  FillPositions(source);
  Dib target(4, -3, 32);
  auto row = [&](int y) {
    return std::vector<uint32_t>{target.At(0, y), target.At(1, y), target.At(2, y), target.At(3, y)};
  };
  ASSERT_TRUE(StretchBlt(target.dc, 0, 0, 4, 3, source.dc, 0, 3, 4, -3, SRCCOPY));
  EXPECT_EQ(row(0), (std::vector<uint32_t>{0x200, 0x201, 0x202, 0x203})) << "upside down";
  EXPECT_EQ(row(2), (std::vector<uint32_t>{0x000, 0x001, 0x002, 0x003}));
  ASSERT_TRUE(StretchBlt(target.dc, 4, 0, -4, 3, source.dc, 0, 0, 4, 3, SRCCOPY));
  EXPECT_EQ(row(1), (std::vector<uint32_t>{0x103, 0x102, 0x101, 0x100})) << "left to right";
  ASSERT_TRUE(StretchBlt(target.dc, 4, 3, -4, -3, source.dc, 0, 0, 4, 3, SRCCOPY));
  EXPECT_EQ(row(0), (std::vector<uint32_t>{0x203, 0x202, 0x201, 0x200})) << "both";
  ASSERT_TRUE(StretchBlt(target.dc, 4, 3, -4, -3, source.dc, 4, 3, -4, -3, SRCCOPY));
  EXPECT_EQ(row(0), (std::vector<uint32_t>{0x000, 0x001, 0x002, 0x003})) << "equal signs do not mirror";
}

TEST(StretchBlt, ScalesByNearestPixel) {
  Dib source(2, -2, 32);
  FillPositions(source);
  Dib doubled(4, -4, 32);
  ASSERT_TRUE(StretchBlt(doubled.dc, 0, 0, 4, 4, source.dc, 0, 0, 2, 2, SRCCOPY));
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(doubled.At(x, y), static_cast<uint32_t>(((y / 2) << 8) | (x / 2)));
  }
  Dib big(8, -8, 32);
  FillPositions(big);
  Dib halved(4, -4, 32);
  ASSERT_TRUE(StretchBlt(halved.dc, 0, 0, 4, 4, big.dc, 0, 0, 8, 8, SRCCOPY));
  EXPECT_EQ(halved.At(1, 2), 0x0503u) << "the centre of each 2 x 2 cell";
}

TEST(StretchBlt, LeavesWhatLiesOutsideEitherImage) {
  Dib source(2, -2, 32);
  FillPositions(source);
  Dib target(4, -1, 32);
  for (int x = 0; x < 4; ++x) target.Set(x, 0, 0xAAAAAA);
  ASSERT_TRUE(BitBlt(target.dc, 0, 0, 4, 1, source.dc, -1, 1, SRCCOPY));
  EXPECT_EQ((std::vector<uint32_t>{target.At(0, 0), target.At(1, 0), target.At(2, 0), target.At(3, 0)}),
            (std::vector<uint32_t>{0xAAAAAA, 0x100, 0x101, 0xAAAAAA}));
  EXPECT_TRUE(BitBlt(target.dc, -5, 0, 100000000, 1, source.dc, 0, 0, SRCCOPY)) << "huge extents are clipped";
  EXPECT_TRUE(StretchBlt(target.dc, 0, 0, 0, 1, source.dc, 0, 0, 2, 2, SRCCOPY)) << "an empty copy";
}

TEST(StretchBlt, OverlappingCopyInOneBitmap) {
  Dib dib(4, -1, 32);
  FillPositions(dib);
  ASSERT_TRUE(BitBlt(dib.dc, 1, 0, 3, 1, dib.dc, 0, 0, SRCCOPY));
  EXPECT_EQ((std::vector<uint32_t>{dib.At(0, 0), dib.At(1, 0), dib.At(2, 0), dib.At(3, 0)}),
            (std::vector<uint32_t>{0, 0, 1, 2}));
}

TEST(GetDIBits, ReadsScanLinesInTheCallersFormat) {
  Dib source(3, 4, 32);  // bottom-up
  FillPositions(source);
  DibInfo info = DibHeader(3, 2, 24);
  std::vector<uint8_t> buffer(12 * 2, 0xEE);
  ASSERT_EQ(GetDIBits(source.dc, source.bitmap, 1, 2, buffer.data(), Info(info), DIB_RGB_COLORS), 2);
  // Bottom-up: the buffer's first row is scan line 1 from the bottom, picture row 2.
  EXPECT_EQ(buffer[0], 0x00);
  EXPECT_EQ(buffer[1], 0x02);
  EXPECT_EQ(buffer[3 * 2], 0x02);
  EXPECT_EQ(buffer[9], 0xEE) << "row padding is not written";
  EXPECT_EQ(buffer[12 + 1], 0x01) << "then picture row 1";

  info = DibHeader(3, -4, 32);
  std::vector<uint32_t> topDown(12);
  EXPECT_EQ(GetDIBits(source.dc, source.bitmap, 3, 4, topDown.data(), Info(info), DIB_RGB_COLORS), 1)
      << "only the lines that exist";
  EXPECT_EQ(topDown[2], 0x302u);

  Dib indexed(2, 1, 8, {0x00112233});
  DibInfo eight = DibHeader(2, 1, 8);
  std::vector<uint8_t> indexes(4, 9);
  eight.colors[0] = RGBQUAD{};
  ASSERT_EQ(GetDIBits(indexed.dc, indexed.bitmap, 0, 1, indexes.data(), Info(eight), DIB_RGB_COLORS), 1);
  EXPECT_EQ(indexes[0], 0);
  EXPECT_EQ(eight.colors[0].rgbGreen, 0x22) << "the colour table comes along";
  EXPECT_FAILS(GetDIBits(source.dc, source.bitmap, 0, 1, indexes.data(), Info(eight), DIB_RGB_COLORS), 0,
               ERROR_INVALID_PARAMETER);
}

}  // namespace
