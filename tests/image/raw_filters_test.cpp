// The filters on the raw frame: flat-field correction against the dark and
// white references, defect-pixel replacement, their place on the sensor and
// in the pipeline.
#include <gtest/gtest.h>

#include "image/ProcessFrame.h"
#include "image/RawFilters.h"
#include "support/Frames.h"
#include "support/SensorMasks.h"

namespace {

using tevrin::image::ApplyDotFilter;
using tevrin::image::ApplyMaskFilter;
using tevrin::image::DefectMasks;
using tevrin::image::SensorWindow;
using tevrin::test::Fill;
using tevrin::test::ModeImages;
using tevrin::test::NeutralSettings;
using tevrin::test::SampleAt;
using tevrin::test::SensorMasks;
using tevrin::test::SetSample;

void MakeFlat(CDibImage& frame, int width, int height, int bits, int value) {
  frame.Create(width, height, static_cast<uint16_t>(bits));
  Fill(frame, [&](int, int) { return value; });
}

TEST(MaskFilter, CorrectsAgainstTheReferencesOnTheFramesOwnScale) {
  struct Case {
    const char* label;
    int bits, dark, white, pixel, expected;
  };
  const Case cases[] = {
      {"initial references, 8-bit", 8, 0, 255, 200, 200},  // 200 x 256 / 255 = 200.8
      {"initial references keep 255", 8, 0, 255, 255, 255},
      {"initial references, 16-bit", 16, 0, 4095, 2048, 2048},
      {"initial references keep 12 bits", 16, 0, 4095, 4095, 4095},
      {"stretched", 8, 20, 220, 120, 128},
      {"below dark", 8, 20, 220, 10, 0},
      {"above white", 8, 20, 220, 250, 255},
      {"equal references leave the pixel", 8, 90, 90, 37, 37},
      {"inverted references, 8-bit", 8, 200, 100, 150, 128},
      {"stretched, 16-bit", 16, 100, 2148, 1124, 2048},
      {"above white, 16-bit", 16, 100, 2148, 3000, 4095},
      {"inverted references leave a 16-bit pixel", 16, 2000, 1000, 1500, 1500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SensorMasks sensor;
    SensorMasks::Depth& masks = sensor.Of(c.bits);
    Fill(masks.dark, [&](int, int) { return c.dark; });
    Fill(masks.white, [&](int, int) { return c.white; });
    CDibImage frame;
    MakeFlat(frame, 640, 512, c.bits, c.pixel);
    ApplyMaskFilter(frame, masks.View(), {});
    EXPECT_EQ(SampleAt(frame, 0, 0), c.expected);
    EXPECT_EQ(SampleAt(frame, 639, 511), c.expected);
  }
}

// A windowed frame reads the references at its place on the sensor; a
// subsampled one at every step-th sensor pixel. A frame that does not fit
// the references, or references of another depth, leave it alone.
TEST(MaskFilter, ReadsTheReferencesWhereTheFrameLiesOnTheSensor) {
  SensorMasks sensor;
  SensorMasks::Depth& masks = sensor.Of(8);
  SetSample(masks.white, 10, 20, 128);
  SetSample(masks.white, 11, 21, 64);
  SetSample(masks.white, 12, 22, 32);
  struct Case {
    const char* label;
    SensorWindow window;
    int x, y, expected;
  };
  const Case cases[] = {
      {"origin", {10, 20, 1}, 0, 0, 100},
      {"offset inside the window", {10, 20, 1}, 1, 1, 200},
      {"subsampled by 2", {10, 20, 2}, 1, 1, 255},  // sensor (12, 22): 50 x 256 / 32
      {"outside the sensor", {630, 20, 1}, 0, 0, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    CDibImage frame;
    MakeFlat(frame, 16, 8, 8, 50);
    ApplyMaskFilter(frame, masks.View(), c.window);
    EXPECT_EQ(SampleAt(frame, c.x, c.y), c.expected);
  }
  CDibImage wide;
  MakeFlat(wide, 16, 8, 16, 50);
  ApplyMaskFilter(wide, masks.View(), {10, 20, 1});
  EXPECT_EQ(SampleAt(wide, 0, 0), 50) << "8-bit references, 16-bit frame";
}

TEST(DotFilter, ReplacesOutliersAndTheNeighboursTheyDisturb) {
  struct Case {
    const char* label;
    int bits, base, x, y, spike, expectedSpike;
  };
  const Case cases[] = {
      {"a single 255 in a flat 100", 8, 100, 8, 8, 255, 100},
      {"29 above its neighbours stays", 8, 100, 8, 8, 129, 129},
      {"30 above its neighbours goes", 8, 100, 8, 8, 130, 100},
      {"a single 4095 in a flat 1600", 16, 1600, 8, 8, 4095, 1600},
      {"479 above stays, 16-bit", 16, 1000, 8, 8, 1479, 1479},
      {"480 above goes, 16-bit", 16, 1000, 8, 8, 1480, 1000},
      {"within 4 of the border it is never examined", 8, 100, 3, 3, 255, 255},
      {"nor at the far corner", 16, 1000, 12, 12, 4095, 4095},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    SensorMasks sensor;
    SensorMasks::Depth& masks = sensor.Of(c.bits);
    CDibImage frame;
    MakeFlat(frame, 16, 16, c.bits, c.base);
    SetSample(frame, c.x, c.y, c.spike);
    ApplyDotFilter(frame, masks.View(), {});
    int changed = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        if (x != c.x || y != c.y) changed += SampleAt(frame, x, y) != c.base;
      }
    }
    EXPECT_EQ(SampleAt(frame, c.x, c.y), c.expectedSpike);
    EXPECT_EQ(changed, 0);
  }
}

// The maps mark whole rows 6 and 7 of a smooth frame (value 10 y + x, which
// no neighbour test marks): each searches past the marked rows above and
// below and to the unexamined columns 3 and 12 on its own row.
TEST(DotFilter, MapMarksSearchPastWholeMarkedRowsToTheBorder) {
  for (int bits : {8, 16}) {
    SCOPED_TRACE(bits);
    SensorMasks sensor;
    SensorMasks::Depth& masks = sensor.Of(bits);
    const SensorWindow window{100, 200, 1};
    for (int x = 0; x < 640; ++x) {
      SetSample(masks.hot, x, 206, 1);
      SetSample(masks.cold, x, 207, 1);
    }
    SetSample(masks.hot, 104, 210, 1);
    CDibImage frame;
    frame.Create(16, 16, static_cast<uint16_t>(bits));
    Fill(frame, [](int x, int y) { return 10 * y + x; });
    ApplyDotFilter(frame, masks.View(), window);
    EXPECT_EQ(SampleAt(frame, 4, 6), (63 + 72 + 54 + 84) / 4);
    EXPECT_EQ(SampleAt(frame, 11, 6), (63 + 72 + 61 + 91) / 4);
    EXPECT_EQ(SampleAt(frame, 4, 7), (73 + 82 + 54 + 84) / 4);
    EXPECT_EQ(SampleAt(frame, 3, 6), 63) << "column 3 is not examined";
    EXPECT_EQ(SampleAt(frame, 4, 10), (103 + 105 + 94 + 114) / 4) << "a single mark at the window's column 4";
    EXPECT_EQ(SampleAt(frame, 5, 10), 105);
    EXPECT_EQ(SampleAt(frame, 4, 5), 54);
    EXPECT_EQ(SampleAt(masks.marks, 4, 6), 1) << "the marks stay for inspection";
  }
}

// The correction runs before the mirror: the sensor's column 0 ends on the right.
TEST(RawFilters, RunInsideTheLoanBeforeTheMirrorAndOnlyWhenOn) {
  SensorMasks masks;
  SetSample(masks.eight.white, 0, 0, 128);
  ModeImages frames(8, 6);
  ImageSettings settings = NeutralSettings(0);
  tevrin::image::FrameJob job = frames.Job(settings, 0, {true, false, false, false});
  job.masks = &masks;
  Fill(frames.Raw(0), [](int, int) { return 64; });
  ProcessFrame(job);
  EXPECT_EQ(masks.loans, 0) << "both filters off";

  job.rawFilters.mask = true;
  ProcessFrame(job);
  EXPECT_EQ(masks.loans, 1);
  EXPECT_EQ(masks.lastBits, 8);
  EXPECT_EQ(SampleAt(frames.Raw(0), 7, 0), 128);
  EXPECT_EQ(SampleAt(frames.Raw(0), 0, 0), 64);
}

}  // namespace
