// The bilinear demosaic: phase of the Bayer cells per mode, exact weights,
// the border rule, the red and blue gains and their limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>

#include "image/Demosaic.h"
#include "support/Frames.h"

namespace {

using tevrin::image::Demosaic;
using tevrin::image::DemosaicGains;
using tevrin::test::Bgr;
using tevrin::test::ColourAt;
using tevrin::test::Fill;
using tevrin::test::FillColourPlanes;
using tevrin::test::SetSample;

struct Pair {
  int rawBits, targetBits, max;
};
constexpr Pair kPairs[] = {{8, 24, 255}, {8, 32, 255}, {16, 48, 65535}, {16, 64, 65535}};

void ExpectEveryPixel(const CDibImage& image, Bgr expected) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) ASSERT_EQ(ColourAt(image, x, y), expected) << x << "," << y;
  }
}

TEST(Demosaic, UniformFrameGivesTheSameGreyEverywhereBordersIncluded) {
  for (const Pair& pair : kPairs) {
    for (int mode = 0; mode < 4; ++mode) {
      SCOPED_TRACE(testing::Message() << pair.targetBits << " bits, mode " << mode);
      CDibImage raw, target;
      ASSERT_TRUE(raw.Create(9, 7, static_cast<uint16_t>(pair.rawBits)));
      ASSERT_TRUE(target.Create(9, 7, static_cast<uint16_t>(pair.targetBits)));
      const int level = pair.rawBits == 8 ? 201 : 4001;
      Fill(raw, [&](int, int) { return level; });
      ASSERT_TRUE(Demosaic(target, raw, mode, {}));
      ExpectEveryPixel(target, {level, level, level});
    }
  }
}

// Each mode places red, blue and the two greens at its own phase: mode 0 puts
// green at (even row, even column), blue at (even, odd), red at (odd, even);
// mode 1 swaps the row phase, mode 2 the column phase, mode 3 both.
TEST(Demosaic, BayerModeSetsWhereEachColourLies) {
  struct Phase {
    int mode, blueRow, blueColumn, redRow, redColumn;
  };
  for (const Phase& phase : {Phase{0, 0, 1, 1, 0}, Phase{1, 1, 1, 0, 0}, Phase{2, 0, 0, 1, 1}, Phase{3, 1, 0, 0, 1}}) {
    SCOPED_TRACE(phase.mode);
    CDibImage raw, target;
    ASSERT_TRUE(raw.Create(10, 8, 8));
    ASSERT_TRUE(target.Create(10, 8, 24));
    Fill(raw, [&](int x, int y) {
      if (y % 2 == phase.blueRow && x % 2 == phase.blueColumn) return 30;
      if (y % 2 == phase.redRow && x % 2 == phase.redColumn) return 220;
      return 120;
    });
    ASSERT_TRUE(Demosaic(target, raw, phase.mode, {}));
    ExpectEveryPixel(target, {30, 120, 220});
  }
}

TEST(Demosaic, ModeThreeEqualsModeZeroShiftedByOneRowAndColumn) {
  CDibImage frame, shifted, out0, out3;
  ASSERT_TRUE(frame.Create(17, 13, 8));
  ASSERT_TRUE(shifted.Create(17, 13, 8));
  ASSERT_TRUE(out0.Create(17, 13, 24));
  ASSERT_TRUE(out3.Create(17, 13, 24));
  std::mt19937 random(7);
  Fill(frame, [&](int, int) { return static_cast<int>(random() % 256); });
  Fill(shifted, [&](int x, int y) { return tevrin::test::SampleAt(frame, (x + 1) % 17, (y + 1) % 13); });
  ASSERT_TRUE(Demosaic(out0, frame, 0, {}));
  ASSERT_TRUE(Demosaic(out3, shifted, 3, {}));
  for (int y = 2; y <= 13 - 4; ++y) {
    for (int x = 2; x <= 17 - 4; ++x) ASSERT_EQ(ColourAt(out3, x, y), ColourAt(out0, x + 1, y + 1)) << x << "," << y;
  }
}

// One red sample of 160 (mode 0: red at odd rows, even columns) spreads with
// the weights 9, 3, 3, 1 of 16 over the pixels whose blocks surround it.
TEST(Demosaic, RedSpreadsWithBilinearWeights) {
  CDibImage raw, target;
  ASSERT_TRUE(raw.Create(12, 12, 8));
  ASSERT_TRUE(target.Create(12, 12, 24));
  SetSample(raw, 6, 5, 160);
  ASSERT_TRUE(Demosaic(target, raw, 0, {}));
  // Pixel (x, y) sees the centre (x - 1/2, y - 1/2): nearest when the sample
  // lies inside its block, weight 3 one sample pitch away in one direction.
  EXPECT_EQ(ColourAt(target, 6, 5).red, 90);  // block rows 4-5, columns 5-6
  EXPECT_EQ(ColourAt(target, 7, 6).red, 90);
  EXPECT_EQ(ColourAt(target, 6, 7).red, 30);  // block rows 6-7: sample two rows up
  EXPECT_EQ(ColourAt(target, 8, 5).red, 30);
  EXPECT_EQ(ColourAt(target, 8, 7).red, 10);
  EXPECT_EQ(ColourAt(target, 9, 5).red, 0);
  EXPECT_EQ(ColourAt(target, 6, 5).blue, 0);
  EXPECT_EQ(ColourAt(target, 6, 5).green, 0);
}

// Outside the frame a sample row or column moves four toward the inside:
// row -1 reads row 3, column -1 column 3, column -2 column 2, row and column
// 12 (the size) read 8. Mode 0: red at (odd row, even column), blue at (even, odd).
TEST(Demosaic, BorderReadsSamplesFourRowsInside) {
  struct Probe {
    int sampleX, sampleY, pixelX, pixelY;
    bool red;
    int expected;
  };
  const Probe probes[] = {
      {6, 3, 6, 0, true, 90},                             // block rows -1, 0: the nearest red row -1 is row 3
      {6, 3, 6, 4, true, 90},                             // the same sample seen from inside
      {6, 3, 6, 2, true, 30},    {2, 5, 0, 5, true, 30},  // far column -2 is column 2
      {8, 5, 11, 5, true, 30},                            // far column 12 is column 8
      {3, 4, 0, 4, false, 90},                            // nearest blue column -1 is column 3
      {9, 8, 9, 11, false, 30},                           // far row 12 is row 8
      {9, 8, 10, 11, false, 30}, {9, 8, 11, 11, false, 10},
  };
  for (const Probe& probe : probes) {
    SCOPED_TRACE(testing::Message() << "pixel " << probe.pixelX << "," << probe.pixelY);
    CDibImage raw, target;
    ASSERT_TRUE(raw.Create(12, 12, 8));
    ASSERT_TRUE(target.Create(12, 12, 24));
    SetSample(raw, probe.sampleX, probe.sampleY, 160);
    ASSERT_TRUE(Demosaic(target, raw, 0, {}));
    const Bgr pixel = ColourAt(target, probe.pixelX, probe.pixelY);
    EXPECT_EQ(probe.red ? pixel.red : pixel.blue, probe.expected);
  }
}

TEST(Demosaic, GainsScaleRedAndBlueAndSaturate) {
  for (const Pair& pair : kPairs) {
    SCOPED_TRACE(pair.targetBits);
    CDibImage raw, target;
    ASSERT_TRUE(raw.Create(8, 8, static_cast<uint16_t>(pair.rawBits)));
    ASSERT_TRUE(target.Create(8, 8, static_cast<uint16_t>(pair.targetBits)));
    const int scale = pair.rawBits == 8 ? 1 : 256;
    FillColourPlanes(raw, 3, 100 * scale, 40 * scale, 64 * scale);

    ASSERT_TRUE(Demosaic(target, raw, 3, DemosaicGains{100, 100}));
    ExpectEveryPixel(target, {40 * scale, 100 * scale, 64 * scale});
    ASSERT_TRUE(Demosaic(target, raw, 3, DemosaicGains{400, 400}));
    // 64 x 4 is one above the 8-bit range; 16-bit samples of 64 x 256 too.
    ExpectEveryPixel(target, {160 * scale, 100 * scale, pair.max});
    ASSERT_TRUE(Demosaic(target, raw, 3, DemosaicGains{50, 0}));
    ExpectEveryPixel(target, {0, 100 * scale, 32 * scale});
  }
}

// The plain formula, pixel by pixel: the colour at (y - 1/2, x - 1/2) from
// the block's greens and the four nearest red or blue samples, rows and
// columns outside the frame moved four inward.
Bgr PlainFormula(const CDibImage& raw, int mode, int x, int y, int redGain, int blueGain, int max) {
  auto sample = [&](int row, int column) {
    row = row < 0 ? row + 4 : row >= raw.Height() ? row - 4 : row;
    column = column < 0 ? column + 4 : column >= raw.Width() ? column - 4 : column;
    return tevrin::test::SampleAt(raw, column, row);
  };
  auto cellRow = [&](int row) { return (row & 1) ^ (mode & 1); };
  auto cellColumn = [&](int column) { return (column & 1) ^ (mode >> 1); };
  auto colour = [&](int wantRow, int wantColumn, int gain) {
    const int yn = cellRow(y) == wantRow ? y : y - 1, yf = yn == y ? y - 2 : y + 1;
    const int xn = cellColumn(x) == wantColumn ? x : x - 1, xf = xn == x ? x - 2 : x + 1;
    const int sum = 9 * sample(yn, xn) + 3 * sample(yf, xn) + 3 * sample(yn, xf) + sample(yf, xf);
    const int product = sum * (gain * 128 / 100);
    return std::min(product >> 11, max);
  };
  const bool greenPixel = cellRow(y) == cellColumn(x);
  const int green =
      greenPixel ? (sample(y, x) + sample(y - 1, x - 1)) >> 1 : (sample(y - 1, x) + sample(y, x - 1)) >> 1;
  return {colour(0, 1, blueGain), green, colour(1, 0, redGain)};
}

TEST(Demosaic, EveryPixelFollowsThePlainFormulaOnRandomFrames) {
  std::mt19937 random(5);
  for (const Pair& pair : kPairs) {
    for (int mode = 0; mode < 4; ++mode) {
      for (auto [width, height] : {std::pair{12, 10}, std::pair{11, 9}, std::pair{6, 5}}) {
        for (auto [red, blue] : {std::pair{100, 100}, std::pair{173, 37}, std::pair{400, 400}}) {
          SCOPED_TRACE(testing::Message() << pair.targetBits << " bits, mode " << mode << ", " << width << "x" << height
                                          << ", gains " << red << "/" << blue);
          CDibImage raw, target;
          ASSERT_TRUE(raw.Create(width, height, static_cast<uint16_t>(pair.rawBits)));
          ASSERT_TRUE(target.Create(width, height, static_cast<uint16_t>(pair.targetBits)));
          Fill(raw, [&](int, int) { return static_cast<int>(random() % (pair.rawBits == 8 ? 256 : 4096)); });
          ASSERT_TRUE(Demosaic(target, raw, mode, DemosaicGains{red, blue}));
          for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
              ASSERT_EQ(ColourAt(target, x, y), PlainFormula(raw, mode, x, y, red, blue, pair.max)) << x << "," << y;
            }
          }
        }
      }
    }
  }
}

TEST(Demosaic, FourthChannelIsLeftAsCreated) {
  CDibImage raw, target;
  ASSERT_TRUE(raw.Create(6, 6, 8));
  ASSERT_TRUE(target.Create(6, 6, 32));
  Fill(raw, [](int, int) { return 77; });
  ASSERT_TRUE(Demosaic(target, raw, 3, {}));
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(tevrin::test::SampleAt(target, x, y, 3), 0);
  }
}

TEST(Demosaic, TinyFramesStayInside) {
  for (int size : {1, 2, 3, 4}) {
    SCOPED_TRACE(size);
    CDibImage raw, target;
    ASSERT_TRUE(raw.Create(size, size, 8));
    ASSERT_TRUE(target.Create(size, size, 24));
    Fill(raw, [](int, int) { return 50; });
    ASSERT_TRUE(Demosaic(target, raw, 0, {}));
    ExpectEveryPixel(target, {50, 50, 50});
  }
}

TEST(Demosaic, RefusesMismatchedImages) {
  CDibImage raw8, raw16, small, color24, color48;
  ASSERT_TRUE(raw8.Create(8, 8, 8));
  ASSERT_TRUE(raw16.Create(8, 8, 16));
  ASSERT_TRUE(small.Create(8, 6, 24));
  ASSERT_TRUE(color24.Create(8, 8, 24));
  ASSERT_TRUE(color48.Create(8, 8, 48));
  EXPECT_FALSE(Demosaic(small, raw8, 0, {}));
  EXPECT_FALSE(Demosaic(color48, raw8, 0, {}));
  EXPECT_FALSE(Demosaic(color24, raw16, 0, {}));
  EXPECT_FALSE(Demosaic(raw8, raw8, 0, {}));
}

}  // namespace
