// The filters on the output image: curves (gamma, contrast, brightness) in
// every family, sharpness, hue and saturation, their order, and their tables
// kept per pipeline.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "image/OutputFilters.h"
#include "image/ProcessFrame.h"
#include "support/Frames.h"

namespace {

using tevrin::image::CFilterTables;
using tevrin::image::Curve;
using tevrin::image::ProcessFrame;
using tevrin::test::Bgr;
using tevrin::test::ColourAt;
using tevrin::test::Fill;
using tevrin::test::FillColourPlanes;
using tevrin::test::ModeImages;
using tevrin::test::NeutralSettings;
using tevrin::test::SampleAt;
using tevrin::test::SetSample;

struct CurveCase {
  const char* label;
  int ImageSettings::*setting;
  int value;
  int input, expected;  // 8-bit channels
  int input16, expected16;
};

const CurveCase kCurveCases[] = {
    {"gamma 200", &ImageSettings::gamma, 200, 64, 127, 16384, 32767},
    {"gamma 50", &ImageSettings::gamma, 50, 128, 64, 32768, 16384},
    {"gamma 0 darkens all but the top", &ImageSettings::gamma, 0, 254, 0, 65534, 0},
    {"gamma 0 keeps the top", &ImageSettings::gamma, 0, 255, 255, 65535, 65535},
    {"contrast 127 low", &ImageSettings::contrast, 127, 126, 0, 32511, 0},
    {"contrast 127 middle", &ImageSettings::contrast, 127, 128, 128, 32768, 32768},
    {"contrast 127 high", &ImageSettings::contrast, 127, 129, 255, 33024, 65535},
    {"contrast -127 lifts black", &ImageSettings::contrast, -127, 0, 63, 0, 16319},
    {"contrast -127 lowers white", &ImageSettings::contrast, -127, 255, 191, 65535, 49215},
    {"brightness -255 is black", &ImageSettings::brightness, -255, 200, 0, 60000, 0},
    {"brightness 255 multiplies by 11", &ImageSettings::brightness, 255, 20, 220, 1000, 11000},
    {"brightness 255 saturates", &ImageSettings::brightness, 255, 24, 255, 6000, 65535},
};

// Every family: monochrome through the pipeline, colour images directly
// (their pipeline output comes from the demosaic), fourth channel untouched.
TEST(OutputFilters, CurvesMapEveryFamilyAndLeaveTheFourthChannel) {
  for (const CurveCase& c : kCurveCases) {
    SCOPED_TRACE(c.label);
    for (int mode : {0, 1}) {
      ModeImages frames(8, 6);
      Fill(frames.Raw(mode), [&](int, int) { return mode == 0 ? c.input : c.input16; });
      ImageSettings settings = NeutralSettings(0);
      settings.*c.setting = c.value;
      ProcessFrame(frames.Job(settings, mode));
      EXPECT_EQ(SampleAt(frames.Raw(mode), 3, 2), mode == 0 ? c.expected : c.expected16) << "mode " << mode;
    }
    for (int mode = 2; mode <= 5; ++mode) {
      ModeImages frames(8, 6);
      CDibImage& image = frames.images[mode];
      const bool wide = mode >= 4;
      const int channels = mode == 3 || mode == 5 ? 4 : 3;
      for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
          for (int channel = 0; channel < channels; ++channel) {
            SetSample(image, x, y, wide ? c.input16 : c.input, channel);
          }
        }
      }
      tevrin::image::CFilterTables tables;
      const Curve curve = c.setting == &ImageSettings::gamma      ? Curve::kGamma
                          : c.setting == &ImageSettings::contrast ? Curve::kContrast
                                                                  : Curve::kBrightness;
      tevrin::image::ApplyCurve(image, curve, c.value, tables);
      const int expected = wide ? c.expected16 : c.expected;
      EXPECT_EQ(ColourAt(image, 7, 5), (Bgr{expected, expected, expected})) << "mode " << mode;
      if (channels == 4) {
        EXPECT_EQ(SampleAt(image, 7, 5, 3), wide ? c.input16 : c.input) << "mode " << mode;
      }
    }
  }
}

// Gamma first, then contrast, then brightness: each order gives other values.
TEST(OutputFilters, RunInTheirOrderAndNeutralValuesChangeNothing) {
  ModeImages frames(8, 6);
  Fill(frames.Raw(0), [](int x, int y) { return 40 + 10 * y + x; });
  ImageSettings settings = NeutralSettings(0);
  ProcessFrame(frames.Job(settings, 0));
  EXPECT_EQ(SampleAt(frames.Raw(0), 4, 4), 84) << "neutral";

  Fill(frames.Raw(0), [](int, int) { return 64; });
  settings.gamma = 200;        // 64 -> 127
  settings.contrast = 64;      // 127 -> 2 x 63 = 126
  settings.brightness = -128;  // 126 x 0.498 -> 62
  ProcessFrame(frames.Job(settings, 0));
  EXPECT_EQ(SampleAt(frames.Raw(0), 4, 4), 62);
}

struct SharpCase {
  int mode, strength, spike, base, spikeAfter, nearAfter;
};

// A spike in a flat 10 x 10 frame: its 4 x 4 block means reach the pixels
// (4..7, 4..7); the border and everything else keeps its value.
TEST(OutputFilters, SharpnessLiftsASpikeTruncatesTowardZeroAndLeavesFlatImages) {
  const SharpCase cases[] = {
      {0, 10, 200, 100, 255, 94},  // block mean 106; 200 + 94 saturates
      {0, 3, 200, 100, 228, 99},   // 100 + 3 x (-6) / 10 = 100 - 1, not - 2
      {0, 30, 100, 100, 100, 100},         {1, 3, 51200, 25600, 58400, 25120},
      {1, 30, 65535, 25600, 65535, 18115}, {1, 30, 3000, 3000, 3000, 3000},
  };
  for (const SharpCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " strength " << c.strength << " spike " << c.spike);
    ModeImages frames(10, 10);
    CDibImage& frame = frames.Raw(c.mode);
    Fill(frame, [&](int x, int y) { return x == 5 && y == 5 ? c.spike : c.base; });
    ImageSettings settings = NeutralSettings(0);
    settings.sharpness = c.strength;
    ProcessFrame(frames.Job(settings, c.mode));
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 10; ++x) {
        const bool spike = x == 5 && y == 5;
        const bool near = x >= 4 && x <= 7 && y >= 4 && y <= 7;
        const int expected = spike ? c.spikeAfter : near ? c.nearAfter : c.base;
        ASSERT_EQ(SampleAt(frame, x, y), expected) << x << "," << y;
      }
    }
  }
  for (int mode = 2; mode <= 5; ++mode) {
    SCOPED_TRACE(mode);
    ModeImages frames(12, 10);
    const int s = mode >= 4 ? 256 : 1;
    FillColourPlanes(frames.Raw(mode), 1, 120 * s, 30 * s, 220 * s);
    ImageSettings settings = NeutralSettings(1);
    settings.sharpness = 30;
    ProcessFrame(frames.Job(settings, mode));
    for (int y = 0; y < 10; ++y) {
      for (int x = 0; x < 12; ++x) ASSERT_EQ(ColourAt(frames.images[mode], x, y), (Bgr{30 * s, 120 * s, 220 * s}));
    }
  }
}

// One colour through the pipeline of a colour mode; 48/64-bit modes carry it
// in the high byte of each channel.
Bgr Turned(Bgr colour, int hue, int saturation, int mode, CFilterTables* tables = nullptr) {
  ModeImages frames(8, 8);
  const int s = mode >= 4 ? 256 : 1;
  FillColourPlanes(frames.Raw(mode), 0, colour.green * s, colour.blue * s, colour.red * s);
  ImageSettings settings = NeutralSettings(0);
  settings.hue = hue;
  settings.saturation = saturation;
  tevrin::image::FrameJob job = frames.Job(settings, mode);
  if (tables) job.tables = tables;
  ProcessFrame(job);
  const Bgr out = ColourAt(frames.images[mode], 3, 3);
  return {out.blue / s, out.green / s, out.red / s};
}

bool Near(Bgr a, Bgr b, int tolerance) {
  return std::abs(a.blue - b.blue) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
         std::abs(a.red - b.red) <= tolerance;
}

TEST(OutputFilters, HueTurnsAndSaturationScalesInEveryColourFamily) {
  struct Case {
    const char* label;
    Bgr colour;
    int hue, saturation;
    Bgr expected;
    int tolerance;
  };
  const Case cases[] = {
      {"hue 360 is a full turn", {30, 120, 220}, 360, 0, {30, 120, 220}, 1},
      {"hue -360 is a full turn", {200, 90, 10}, -360, 0, {200, 90, 10}, 1},
      {"red turned by 120 is green", {0, 0, 255}, 120, 0, {0, 255, 0}, 2},
      {"red turned by -120 is blue", {0, 0, 255}, -120, 0, {255, 0, 0}, 2},
      {"red turned by 60 is yellow", {0, 0, 255}, 60, 0, {0, 255, 255}, 2},
      {"saturation -255 greys", {30, 120, 220}, 0, -255, {125, 125, 125}, 1},
      {"saturation 255 doubles the spread", {100, 100, 150}, 0, 255, {75, 75, 175}, 1},
      {"grey has no hue", {77, 77, 77}, 90, 255, {77, 77, 77}, 0},
  };
  for (const Case& c : cases) {
    for (int mode = 2; mode <= 5; ++mode) {
      SCOPED_TRACE(testing::Message() << c.label << ", mode " << mode);
      const Bgr out = Turned(c.colour, c.hue, c.saturation, mode);
      EXPECT_TRUE(Near(out, c.expected, c.tolerance)) << out.blue << " " << out.green << " " << out.red;
      if (c.saturation == -255) {
        EXPECT_LE(std::max({out.blue, out.green, out.red}) - std::min({out.blue, out.green, out.red}), 1);
      }
    }
  }
}

// Two cameras with different saturations each keep their own tables, also
// while both process frames at the same time.
TEST(OutputFilters, ConcurrentPipelinesWithOtherSaturationsKeepTheirResults) {
  const Bgr colour{40, 100, 180};
  const Bgr alone[2] = {Turned(colour, 0, -200, 2), Turned(colour, 0, 200, 2)};
  ASSERT_NE(alone[0], alone[1]);
  CFilterTables tables[2];
  int wrong[2] = {0, 0};
  auto run = [&](int camera) {
    for (int frame = 0; frame < 50; ++frame) {
      wrong[camera] += Turned(colour, 0, camera == 0 ? -200 : 200, 2, &tables[camera]) != alone[camera];
    }
  };
  std::thread first(run, 0), second(run, 1);
  first.join();
  second.join();
  EXPECT_EQ(wrong[0], 0);
  EXPECT_EQ(wrong[1], 0);
}

}  // namespace
