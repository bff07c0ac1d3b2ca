// Every output conversion on known pixels, run through CDibImage::Apply.
#include <gtest/gtest.h>

#include <vector>

#include "image/OutputRoutines.h"
#include "support/Frames.h"

namespace {

using namespace tevrin::image;
using tevrin::test::SampleAt;
using tevrin::test::SetSample;

// A 3 x 2 image whose channel c of pixel (x, y) holds base + 16 x (3 y + x) + c.
void FillChannels(CDibImage& image, int channels, int base) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      for (int c = 0; c < channels; ++c) SetSample(image, x, y, base + 16 * (3 * y + x) + c, c);
    }
  }
}

int SourceValue(int base, int x, int y, int c) {
  return base + 16 * (3 * y + x) + c;
}

struct Pair {
  CDibImage source, destination;
  Pair(int sourceBits, int destinationBits, int width = 3, int height = 2) {
    source.Create(width, height, static_cast<uint16_t>(sourceBits));
    destination.Create(width, height, static_cast<uint16_t>(destinationBits));
  }
  int Apply(const PixelRoutine& routine) { return destination.Apply(routine, source); }
};

// Checks destination channel `c` of every pixel against f(source pixel x, source row).
template <class Expected>
void ExpectPixels(const CDibImage& destination, bool flipped, int channels, Expected expected) {
  for (int y = 0; y < destination.Height(); ++y) {
    const int sourceRow = flipped ? destination.Height() - 1 - y : y;
    for (int x = 0; x < destination.Width(); ++x) {
      for (int c = 0; c < channels; ++c) {
        ASSERT_EQ(SampleAt(destination, x, y, c), expected(x, sourceRow, c)) << x << "," << y << " channel " << c;
      }
    }
  }
}

TEST(OutputRoutines, DisplayReductionsKeepTheRowOrder) {
  {
    Pair p(16, 8);
    FillChannels(p.source, 1, 0x0A05);
    EXPECT_EQ(p.Apply(kDisplayGray16), 1);
    ExpectPixels(p.destination, false, 1, [](int x, int y, int) { return SourceValue(0x0A05, x, y, 0) >> 8; });
  }
  {
    Pair p(32, 24);
    FillChannels(p.source, 4, 7);
    p.Apply(kDisplayColor32);
    ExpectPixels(p.destination, false, 3, [](int x, int y, int c) { return SourceValue(7, x, y, c); });
  }
  for (int bits : {48, 64}) {
    Pair p(bits, 24);
    FillChannels(p.source, bits / 16, 0xFF3);  // > 4095 after the sum: >> 4 keeps the low 8 bits
    p.Apply(kDisplayColor48);
    ExpectPixels(p.destination, false, 3,
                 [](int x, int y, int c) { return (SourceValue(0xFF3, x, y, c) >> 4) & 0xFF; });
  }
}

TEST(OutputRoutines, StillReductionsFlipTheRows) {
  struct Case {
    int significantBits, shift;
  };
  for (const Case& c : {Case{10, 2}, Case{12, 4}, Case{16, 8}}) {
    SCOPED_TRACE(c.significantBits);
    Pair p(16, 8);
    FillChannels(p.source, 1, 0x3F1);
    EXPECT_EQ(p.Apply(ReduceGray16(c.significantBits)), 1);
    ExpectPixels(p.destination, true, 1,
                 [&](int x, int y, int) { return (SourceValue(0x3F1, x, y, 0) >> c.shift) & 0xFF; });
  }
  EXPECT_EQ(Pair(16, 8).Apply(ReduceGray16(14)), 0);

  for (int bits : {48, 64}) {
    Pair p(bits, 24);
    FillChannels(p.source, bits / 16, 0x1234);
    p.Apply(kReduceColor48);
    ExpectPixels(p.destination, true, 3, [](int x, int y, int c) { return SourceValue(0x1234, x, y, c) >> 8; });
  }
  for (int bits : {24, 32}) {
    Pair p(bits, 24);
    FillChannels(p.source, bits / 8, 3);
    p.Apply(kCopyColor24Flipped);
    ExpectPixels(p.destination, true, 3, [](int x, int y, int c) { return SourceValue(3, x, y, c); });
  }
}

TEST(OutputRoutines, RowCopyTakesTheShorterStrideFlipped) {
  Pair p(8, 8, 6, 3);  // stride 8
  FillChannels(p.source, 1, 1);
  for (int y = 0; y < 3; ++y) p.source.Row(y)[6] = static_cast<uint8_t>(0xA0 + y);  // padding travels too
  p.Apply(kCopyRowsFlipped);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(p.destination.Row(y)[0], p.source.Row(2 - y)[0]);
    EXPECT_EQ(p.destination.Row(y)[5], p.source.Row(2 - y)[5]);
    EXPECT_EQ(p.destination.Row(y)[6], 0xA0 + 2 - y);
  }
}

TEST(OutputRoutines, WideningShiftsTheSignificantBitsUp) {
  struct Case {
    int significantBits, shift;
  };
  for (const Case& c : {Case{10, 6}, Case{12, 4}}) {
    SCOPED_TRACE(c.significantBits);
    const auto widened = [&](int x, int y, int channel) {
      return (SourceValue(0x3C1, x, y, channel) << c.shift) & 0xFFFF;
    };
    {
      Pair p(16, 16);
      FillChannels(p.source, 1, 0x3C1);
      EXPECT_EQ(p.Apply(WidenGray16(c.significantBits)), 1);
      ExpectPixels(p.destination, false, 1, widened);
    }
    {
      Pair p(48, 48);
      FillChannels(p.source, 3, 0x3C1);
      p.Apply(WidenColor48(c.significantBits));
      ExpectPixels(p.destination, false, 3, widened);
      p.Apply(WidenColor48Swapped(c.significantBits));
      ExpectPixels(p.destination, false, 3, [&](int x, int y, int ch) { return widened(x, y, 2 - ch); });
    }
    for (int bits : {48, 64}) {
      Pair p(bits, 64);
      FillChannels(p.source, bits / 16, 0x3C1);
      p.Apply(WidenColor64(c.significantBits));
      ExpectPixels(p.destination, false, 4, [&](int x, int y, int ch) { return ch == 3 ? 0xFFFF : widened(x, y, ch); });
      p.Apply(WidenColor64Swapped(c.significantBits));
      ExpectPixels(p.destination, false, 4,
                   [&](int x, int y, int ch) { return ch == 3 ? 0xFFFF : widened(x, y, 2 - ch); });
    }
  }
  EXPECT_EQ(Pair(16, 16).Apply(WidenGray16(16)), 0);
  EXPECT_EQ(Pair(48, 64).Apply(WidenColor64(8)), 0);
}

TEST(OutputRoutines, ByteOrdersSwapAndInvertTheFourthByte) {
  for (int bits : {24, 32}) {
    Pair p(bits, bits);
    FillChannels(p.source, bits / 8, 9);
    if (bits == 32) FillChannels(p.destination, 4, 200);
    p.Apply(kSwapColor24);
    ExpectPixels(p.destination, false, 3, [](int x, int y, int c) { return SourceValue(9, x, y, 2 - c); });
    if (bits == 32) {
      EXPECT_EQ(SampleAt(p.destination, 1, 1, 3), SourceValue(200, 1, 1, 3) & 0xFF) << "fourth byte kept";
    }
  }
  {
    Pair p(32, 32);
    FillChannels(p.source, 4, 9);
    SetSample(p.source, 2, 1, 0, 3);
    p.Apply(kAlpha32);
    ExpectPixels(p.destination, false, 4, [&](int x, int y, int c) {
      const int value = SampleAt(p.source, x, y, c);
      return c == 3 ? 255 - value : value;
    });
    EXPECT_EQ(SampleAt(p.destination, 2, 1, 3), 255);
  }
}

// Target column x reads source column x * source width / target width
// (limited to the last), rows likewise and flipped.
TEST(OutputRoutines, DisplayScalingPicksNearestPixelsFlipped) {
  CDibImage source, larger, smaller;
  ASSERT_TRUE(source.Create(4, 3, 8));
  ASSERT_TRUE(larger.Create(6, 5, 8));
  ASSERT_TRUE(smaller.Create(2, 2, 8));
  tevrin::test::Fill(source, [](int x, int y) { return 10 * y + x; });
  EXPECT_EQ(larger.Apply(kScaleGray8, source), 1);
  const int columns6[6] = {0, 0, 1, 2, 2, 3}, rows5[5] = {0, 0, 1, 1, 2};
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) ASSERT_EQ(SampleAt(larger, x, y), 10 * (2 - rows5[y]) + columns6[x]) << x << "," << y;
  }
  EXPECT_EQ(smaller.Apply(kScaleGray8, source), 1);
  EXPECT_EQ(SampleAt(smaller, 0, 0), 20);
  EXPECT_EQ(SampleAt(smaller, 1, 0), 22);
  EXPECT_EQ(SampleAt(smaller, 0, 1), 10);
  EXPECT_EQ(SampleAt(smaller, 1, 1), 12);

  CDibImage colour, colourTarget;
  ASSERT_TRUE(colour.Create(2, 2, 24));
  ASSERT_TRUE(colourTarget.Create(4, 1, 24));
  FillChannels(colour, 3, 1);
  colourTarget.Apply(kScaleColor24, colour);
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(
        tevrin::test::ColourAt(colourTarget, x, 0),
        (tevrin::test::Bgr{SourceValue(1, x / 2, 1, 0), SourceValue(1, x / 2, 1, 1), SourceValue(1, x / 2, 1, 2)}));
  }
}

// The ratios are single precision: where x * source size / target size is a
// whole number, x times the float ratio can fall just below it and truncate to
// the pixel before. The cases are such points; each would show the next pixel
// with exact ratios.
TEST(OutputRoutines, DisplayScalingTruncatesSinglePrecisionRatios) {
  struct Case {
    const char* label;
    int bits;
    int sourceWidth, sourceHeight, targetWidth, targetHeight;
    int x, row;              // display pixel, storage row
    int sourceX, sourceRow;  // the source pixel it shows
  };
  // Each source pixel tells where it came from.
  auto code = [](int bits, int x, int row, int c) {
    if (bits == 8) return (x + 7 * row) & 0xFF;
    const int channels[3] = {x & 0xFF, row & 0xFF, row >> 8};
    return channels[c];
  };
  for (const Case& c : {
           Case{"gray column", 8, 26, 26, 22, 22, 11, 0, 12, 25},
           Case{"gray row", 8, 26, 26, 22, 22, 0, 11, 0, 13},
           Case{"colour column and row", 24, 39, 39, 33, 33, 22, 22, 25, 13},
           Case{"sensor frame in a 640 x 110 window", 24, 640, 512, 640, 110, 0, 55, 0, 256},
       }) {
    SCOPED_TRACE(c.label);
    CDibImage source, display;
    ASSERT_TRUE(source.Create(c.sourceWidth, c.sourceHeight, static_cast<uint16_t>(c.bits)));
    ASSERT_TRUE(display.Create(c.targetWidth, c.targetHeight, static_cast<uint16_t>(c.bits)));
    const int channels = c.bits / 8;
    for (int row = 0; row < c.sourceHeight; ++row) {
      for (int x = 0; x < c.sourceWidth; ++x) {
        for (int k = 0; k < channels; ++k) SetSample(source, x, row, code(c.bits, x, row, k), k);
      }
    }
    ASSERT_EQ(display.Apply(c.bits == 8 ? kScaleGray8 : kScaleColor24, source), 1);
    for (int k = 0; k < channels; ++k) {
      EXPECT_EQ(SampleAt(display, c.x, c.row, k), code(c.bits, c.sourceX, c.sourceRow, k)) << "channel " << k;
    }
  }
}

}  // namespace
