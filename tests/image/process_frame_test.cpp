// ProcessFrame in the colour modes: the raw buffer of each mode, the output
// buffer, the software mirror with its Bayer-mode adjustment and the
// automatic white balance.
#include <gtest/gtest.h>

#include <random>

#include "image/ProcessFrame.h"
#include "settings/SettingsBlocks.h"
#include "support/Frames.h"

namespace {

using tevrin::image::FrameJob;
using tevrin::image::MirrorFlags;
using tevrin::image::ProcessFrame;
using tevrin::test::Bgr;
using tevrin::test::ColourAt;
using tevrin::test::Fill;
using tevrin::test::FillColourPlanes;
using tevrin::test::ModeImages;
using tevrin::test::NeutralSettings;
using tevrin::test::SampleAt;

int Scale(int colorMode) {
  return colorMode >= 4 ? 16 : 1;
}

TEST(ProcessFrame, EveryColourModeDemosaicsItsRawFrameIntoItsOutput) {
  for (int colorMode = 2; colorMode <= 5; ++colorMode) {
    SCOPED_TRACE(colorMode);
    const int s = Scale(colorMode);
    ModeImages frames(10, 8);
    FillColourPlanes(frames.Raw(colorMode), 3, 120 * s, 30 * s, 220 * s);
    ImageSettings settings = NeutralSettings(3);
    EXPECT_FALSE(ProcessFrame(frames.Job(settings, colorMode)));
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 10; ++x) {
        ASSERT_EQ(ColourAt(frames.images[colorMode], x, y), (Bgr{30 * s, 120 * s, 220 * s})) << x << "," << y;
      }
    }
    for (int other = 2; other <= 5; ++other) {
      if (other != colorMode) {
        EXPECT_EQ(ColourAt(frames.images[other], 4, 4), (Bgr{0, 0, 0})) << other;
      }
    }
  }
}

TEST(ProcessFrame, MonochromeModesWithoutGrayModeLeaveTheFrame) {
  for (int colorMode : {0, 1}) {
    SCOPED_TRACE(colorMode);
    ModeImages frames(6, 4);
    Fill(frames.Raw(colorMode), [](int x, int y) { return 10 * y + x; });
    ImageSettings settings = NeutralSettings(3);
    EXPECT_FALSE(ProcessFrame(frames.Job(settings, colorMode)));
    EXPECT_EQ(SampleAt(frames.Raw(colorMode), 5, 3), 35);
    EXPECT_EQ(ColourAt(frames.images[2], 2, 2), (Bgr{0, 0, 0}));
  }
}

TEST(ProcessFrame, SoftwareMirrorReversesRowsAndColumns) {
  struct Case {
    MirrorFlags mirror;
    int expectedAtTopLeft;
  };
  // Pixel value 10 y + x of a 6 x 4 frame; the top-left pixel after mirroring.
  const Case cases[] = {
      {{false, false, false, false}, 0}, {{true, false, false, false}, 5}, {{false, true, false, false}, 30},
      {{true, true, false, false}, 35},  {{true, true, true, true}, 0},    {{true, true, false, true}, 5},
      {{true, true, true, false}, 30},
  };
  for (int colorMode : {0, 1}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "mode " << colorMode << " h " << c.mirror.horizontal << " v "
                                      << c.mirror.vertical << " in sensor " << c.mirror.horizontalInSensor
                                      << c.mirror.verticalInSensor);
      ModeImages frames(6, 4);
      Fill(frames.Raw(colorMode), [](int x, int y) { return 10 * y + x; });
      ImageSettings settings = NeutralSettings(3);
      ProcessFrame(frames.Job(settings, colorMode, c.mirror));
      const CDibImage& raw = frames.Raw(colorMode);
      EXPECT_EQ(SampleAt(raw, 0, 0), c.expectedAtTopLeft);
      const int h = c.mirror.horizontal && !c.mirror.horizontalInSensor;
      const int v = c.mirror.vertical && !c.mirror.verticalInSensor;
      for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
          ASSERT_EQ(SampleAt(raw, x, y), 10 * (v ? 3 - y : y) + (h ? 5 - x : x)) << x << "," << y;
        }
      }
    }
  }
}

// A mirrored frame keeps its colours: the demosaic follows the moved phase,
// whether the pipeline or the sensor mirrored.
TEST(ProcessFrame, MirroredFrameKeepsItsColours) {
  for (int colorMode : {2, 5}) {
    for (int bayerMode = 0; bayerMode < 4; ++bayerMode) {
      for (int flags = 1; flags < 4; ++flags) {
        for (bool inSensor : {false, true}) {
          const bool h = flags & 1, v = flags & 2;
          SCOPED_TRACE(testing::Message() << "mode " << colorMode << " bayer " << bayerMode << " h " << h << " v " << v
                                          << " in sensor " << inSensor);
          const int s = Scale(colorMode);
          ModeImages frames(10, 8);
          CDibImage& raw = frames.Raw(colorMode);
          FillColourPlanes(raw, bayerMode, 120 * s, 30 * s, 220 * s);
          if (inSensor) {  // the sensor delivers the frame already mirrored
            CDibImage copy;
            copy.CopyFormat(raw);
            Fill(copy, [&](int x, int y) { return SampleAt(raw, h ? 9 - x : x, v ? 7 - y : y); });
            Fill(raw, [&](int x, int y) { return SampleAt(copy, x, y); });
          }
          ImageSettings settings = NeutralSettings(bayerMode);
          ProcessFrame(frames.Job(settings, colorMode, MirrorFlags{h, v, inSensor, inSensor}));
          for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 10; ++x) {
              ASSERT_EQ(ColourAt(frames.images[colorMode], x, y), (Bgr{30 * s, 120 * s, 220 * s})) << x << "," << y;
            }
          }
          EXPECT_EQ(settings.bayerMode, bayerMode) << "the stored mode is not changed";
        }
      }
    }
  }
}

// Demosaicking a vertically mirrored frame gives the unmirrored result upside
// down: output row y of the one is output row (height - y) of the other.
TEST(ProcessFrame, VerticalMirrorOfARandomFrameMatchesTheUnmirroredOutput) {
  ModeImages plain(12, 10), mirrored(12, 10);
  std::mt19937 random(11);
  Fill(plain.images[0], [&](int, int) { return static_cast<int>(random() % 256); });
  Fill(mirrored.images[0], [&](int x, int y) { return SampleAt(plain.images[0], x, y); });
  ImageSettings settings = NeutralSettings(3);
  ProcessFrame(plain.Job(settings, 2));
  ProcessFrame(mirrored.Job(settings, 2, MirrorFlags{false, true, false, false}));
  for (int y = 3; y <= 7; ++y) {
    for (int x = 2; x <= 9; ++x) ASSERT_EQ(ColourAt(mirrored.images[2], x, y), ColourAt(plain.images[2], x, 10 - y));
  }
}

// Frames of odd height or width keep their phase when mirrored.
TEST(ProcessFrame, MirrorOfAnOddSizeKeepsTheBayerMode) {
  ModeImages frames(9, 7);
  FillColourPlanes(frames.images[0], 1, 120, 30, 220);
  ImageSettings settings = NeutralSettings(1);
  ProcessFrame(frames.Job(settings, 3, MirrorFlags{true, true, false, false}));
  EXPECT_EQ(ColourAt(frames.images[3], 4, 3), (Bgr{30, 120, 220}));
  EXPECT_EQ(ColourAt(frames.images[3], 0, 0), (Bgr{30, 120, 220}));
}

TEST(ProcessFrame, WhiteBalanceSetsTheGainsBeforeTheDemosaic) {
  for (int colorMode = 2; colorMode <= 5; ++colorMode) {
    SCOPED_TRACE(colorMode);
    const int s = Scale(colorMode);
    ModeImages frames(8, 8);
    FillColourPlanes(frames.Raw(colorMode), 0, 100 * s, 200 * s, 50 * s);
    ImageSettings settings = NeutralSettings(0);
    settings.bayerGainAuto = 1;
    settings.bayerGainGreen = 70;
    EXPECT_TRUE(ProcessFrame(frames.Job(settings, colorMode)));
    EXPECT_EQ(settings.bayerGainRed, 200);
    EXPECT_EQ(settings.bayerGainGreen, 100);
    EXPECT_EQ(settings.bayerGainBlue, 50);
    EXPECT_EQ(settings.bayerGainAuto, 1) << "stays on and measures every frame";
    EXPECT_EQ(ColourAt(frames.images[colorMode], 3, 3), (Bgr{100 * s, 100 * s, 100 * s}));
  }
}

TEST(ProcessFrame, WhiteBalanceLimitsAt400AndKeepsGainsOfMissingColours) {
  ModeImages frames(8, 8);
  FillColourPlanes(frames.images[0], 0, 250, 0, 50);  // blue cells all 0
  ImageSettings settings = NeutralSettings(0);
  settings.bayerGainAuto = 1;
  settings.bayerGainBlue = 90;
  ProcessFrame(frames.Job(settings, 2));
  EXPECT_EQ(settings.bayerGainRed, 400);
  EXPECT_EQ(settings.bayerGainBlue, 90);
}

TEST(ProcessFrame, WhiteBalanceOnceSwitchesItselfOff) {
  ModeImages frames(8, 8);
  FillColourPlanes(frames.images[1], 2, 1000, 500, 2000);
  ImageSettings settings = NeutralSettings(2);
  settings.bayerGainAuto = 1;
  settings.bayerAutoWorking[0] = settings.bayerAutoWorking[1] = 1;
  EXPECT_TRUE(ProcessFrame(frames.Job(settings, 4)));
  EXPECT_EQ(settings.bayerGainRed, 50);
  EXPECT_EQ(settings.bayerGainBlue, 200);
  EXPECT_EQ(settings.bayerGainAuto, 0);
  EXPECT_EQ(settings.bayerAutoWorking[0], 0);
  EXPECT_EQ(settings.bayerAutoWorking[1], 0);
  settings.bayerGainRed = 100;
  EXPECT_FALSE(ProcessFrame(frames.Job(settings, 4)));
  EXPECT_EQ(settings.bayerGainRed, 100);
}

TEST(ProcessFrame, MissingOrMisSizedBuffersSkipTheirSteps) {
  ModeImages frames(8, 8);
  FillColourPlanes(frames.images[0], 3, 100, 100, 100);
  ImageSettings settings = NeutralSettings(3);
  FrameJob job = frames.Job(settings, 2);
  job.images.color24 = nullptr;
  EXPECT_FALSE(ProcessFrame(job));
  CDibImage small;
  small.Create(4, 4, 24);
  job.images.color24 = &small;
  EXPECT_FALSE(ProcessFrame(job));
  EXPECT_EQ(ColourAt(small, 1, 1), (Bgr{0, 0, 0}));
  job.colorMode = static_cast<tevrin::image::ColorMode>(6);
  EXPECT_FALSE(ProcessFrame(job));
  job.colorMode = tevrin::image::ColorMode::Bgr24;
  job.settings = nullptr;
  EXPECT_FALSE(ProcessFrame(job));
}

}  // namespace
