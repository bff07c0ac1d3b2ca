// The monochrome modes' gray processing through ProcessFrame: gains and
// offsets per cell, the automatic gain and the luminance of gray mode 2.
#include <gtest/gtest.h>

#include "image/ProcessFrame.h"
#include "settings/SettingsBlocks.h"
#include "support/Frames.h"

namespace {

using tevrin::image::FrameJob;
using tevrin::image::ProcessFrame;
using tevrin::test::Fill;
using tevrin::test::SampleAt;

ImageSettings NeutralGray(int grayMode) {
  ImageSettings settings = tevrin::test::NeutralSettings(3);
  settings.grayMode = grayMode;
  return settings;
}

int Ramp(int x, int y, int colorMode) {
  const int value = (x * 37 + y * 101) % 256;
  return colorMode == 0 ? value : value * 16;
}

TEST(GrayGains, GainOf128AndZeroOffsetLeaveTheFrameUnchanged) {
  for (int colorMode : {0, 1}) {
    SCOPED_TRACE(colorMode);
    tevrin::test::ModeImages frames(9, 6);
    Fill(frames.Raw(colorMode), [&](int x, int y) { return Ramp(x, y, colorMode); });
    ImageSettings settings = NeutralGray(1);
    EXPECT_FALSE(ProcessFrame(frames.Job(settings, colorMode)));
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 9; ++x) ASSERT_EQ(SampleAt(frames.Raw(colorMode), x, y), Ramp(x, y, colorMode));
    }
  }
}

// With BayerMode 3 cell (0,0) holds the odd rows' odd columns. GainG1 is
// bound to (0,0), GainR1 to (0,1), GainB1 to (1,0), GainG2 to (1,1).
TEST(GrayGains, EachGainAndOffsetActsOnItsCellAndClamps) {
  for (int colorMode : {0, 1}) {
    SCOPED_TRACE(colorMode);
    const int max = colorMode == 0 ? 255 : 4095;
    tevrin::test::ModeImages frames(4, 4);
    Fill(frames.Raw(colorMode), [&](int, int) { return 100; });
    tevrin::test::SetSample(frames.Raw(colorMode), 0, 0, max);
    ImageSettings settings = NeutralGray(1);
    settings.grayGainG1 = 256;
    settings.grayGainR = 64;
    settings.grayOffsetB = -150;
    settings.grayOffsetG2 = 5;
    ProcessFrame(frames.Job(settings, colorMode));
    const CDibImage& raw = frames.Raw(colorMode);
    EXPECT_EQ(SampleAt(raw, 1, 1), 200);  // (0,0): x 2
    EXPECT_EQ(SampleAt(raw, 0, 1), 50);   // (0,1): x 1/2
    EXPECT_EQ(SampleAt(raw, 1, 0), 0);    // (1,0): 100 - 150 stops at 0
    EXPECT_EQ(SampleAt(raw, 2, 2), 105);  // (1,1): + 5
    EXPECT_EQ(SampleAt(raw, 0, 0), max);  // (1,1) at the top: max + 5 stays at max
  }
}

TEST(GrayGains, NegativeOffsetOnADarkPixelGivesZero) {
  tevrin::test::ModeImages frames(2, 2);
  Fill(frames.images[0], [](int, int) { return 3; });
  ImageSettings settings = NeutralGray(1);
  settings.grayOffsetR = settings.grayOffsetG1 = settings.grayOffsetG2 = settings.grayOffsetB = -4;
  ProcessFrame(frames.Job(settings, 0));
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) EXPECT_EQ(SampleAt(frames.images[0], x, y), 0);
  }
}

// Cell means (0,0) 100, (0,1) 50, (1,0) 25, (1,1) 200; the 0 and 255
// samples planted in each cell do not count.
TEST(GrayGains, AutoGainLevelsTheCellMeansAndCountsItsRequestDown) {
  tevrin::test::ModeImages frames(8, 8);
  auto fill = [&] {
    Fill(frames.images[0], [](int x, int y) {
      if (x < 2 && y < 2) return x == y ? 0 : 255;
      const int cellA = (y & 1) ^ 1, cellB = (x & 1) ^ 1;  // BayerMode 3
      const int means[4] = {100, 50, 25, 200};
      return means[2 * cellA + cellB];
    });
  };
  fill();
  ImageSettings settings = NeutralGray(1);
  settings.grayAutoGainRequest = 1;
  EXPECT_TRUE(ProcessFrame(frames.Job(settings, 0)));
  EXPECT_EQ(settings.grayGainG1, 128);
  EXPECT_EQ(settings.grayGainR, 256);
  EXPECT_EQ(settings.grayGainB, 512);
  EXPECT_EQ(settings.grayGainG2, 64);
  EXPECT_EQ(settings.grayAutoGainRequest, 0);
  EXPECT_EQ(SampleAt(frames.images[0], 3, 3), 100);  // the measured gains were applied
  EXPECT_EQ(SampleAt(frames.images[0], 2, 3), 100);
  EXPECT_EQ(SampleAt(frames.images[0], 3, 2), 100);

  fill();
  settings.grayGainR = 128;
  EXPECT_FALSE(ProcessFrame(frames.Job(settings, 0)));
  EXPECT_EQ(settings.grayGainR, 128) << "a spent request measures no more";

  settings.grayAutoGainRequest = -1;
  for (int frame = 0; frame < 3; ++frame) {
    fill();
    EXPECT_TRUE(ProcessFrame(frames.Job(settings, 0)));
    EXPECT_EQ(settings.grayAutoGainRequest, -1) << "-1 measures every frame";
  }
}

TEST(GrayGains, AutoGainWithoutUsableSamplesKeepsTheGains) {
  tevrin::test::ModeImages frames(4, 4);
  Fill(frames.images[0], [](int x, int) { return x % 2 ? 255 : 0; });
  ImageSettings settings = NeutralGray(1);
  settings.grayGainR = 77;
  settings.grayAutoGainRequest = 1;
  EXPECT_FALSE(ProcessFrame(frames.Job(settings, 0)));
  EXPECT_EQ(settings.grayGainR, 77);
  EXPECT_EQ(settings.grayAutoGainRequest, 0);
}

TEST(GrayGains, AutoGainOfSixteenBitFramesUsesTheirTwelveBits) {
  tevrin::test::ModeImages frames(4, 4);
  Fill(frames.images[1], [](int x, int y) { return ((x & 1) ^ (y & 1)) ? 1000 : 2000; });
  tevrin::test::SetSample(frames.images[1], 1, 1, 4095);  // saturated, not counted
  ImageSettings settings = NeutralGray(1);
  settings.grayAutoGainRequest = 1;
  EXPECT_TRUE(ProcessFrame(frames.Job(settings, 1)));
  EXPECT_EQ(settings.grayGainG1, 128);
  EXPECT_EQ(settings.grayGainR, 256);
  EXPECT_EQ(settings.grayGainB, 256);
  EXPECT_EQ(settings.grayGainG2, 128);
}

// Gray mode 2 demosaics Frame8 and keeps Y = (30 R + 59 G + 11 B) / 100.
TEST(GrayLuminance, ModeTwoWritesTheLuminanceOfTheColours) {
  tevrin::test::ModeImages frames(8, 6);
  // BayerMode 3: green where row and column parities are equal, red at
  // (odd row, even column)... placed by the helper from the cells.
  tevrin::test::FillColourPlanes(frames.images[0], 3, 200, 100, 50);
  ImageSettings settings = NeutralGray(2);
  ProcessFrame(frames.Job(settings, 0));
  const int luminance = (30 * 50 + 59 * 200 + 11 * 100) / 100;  // 144
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) ASSERT_EQ(SampleAt(frames.images[0], x, y), luminance) << x << "," << y;
  }
  EXPECT_EQ(tevrin::test::ColourAt(frames.images[2], 4, 3), (tevrin::test::Bgr{100, 200, 50}));
}

TEST(GrayLuminance, SixteenBitOutputIsLeftAlone) {
  tevrin::test::ModeImages frames(4, 4);
  Fill(frames.images[1], [](int x, int) { return 1000 + x; });
  ImageSettings settings = NeutralGray(2);
  ProcessFrame(frames.Job(settings, 1));
  EXPECT_EQ(SampleAt(frames.images[1], 3, 2), 1003);
}

}  // namespace
