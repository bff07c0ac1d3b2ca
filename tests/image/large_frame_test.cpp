// The gray auto gain and the white balance on frames far larger than the
// sensor's: the pipeline takes any size, and the sums of such frames are
// large enough that their cross products no longer fit 64 bits.
#include <gtest/gtest.h>

#include <array>

#include "image/BayerCells.h"
#include "image/DibImage.h"
#include "image/GrayGains.h"
#include "image/WhiteBalance.h"
#include "support/Frames.h"

namespace {

using tevrin::image::CellAt;
using tevrin::image::CellIndex;

// Every sample the value of its cell, by CellIndex: (0,0), (0,1), (1,0), (1,1).
void FillCells(CDibImage& raw, int bayerMode, const std::array<int, 4>& values) {
  tevrin::test::Fill(raw, [&](int x, int y) { return values[CellIndex(CellAt(y, x, bayerMode))]; });
}

TEST(LargeFrames, GrayAutoGainLevelsTheCellMeans) {
  struct Case {
    const char* label;
    int size;
    std::array<int, 4> cells;
    std::array<int, 4> gains;
  };
  for (const Case& c : {
           Case{"uniform 6000 x 6000", 6000, {4000, 4000, 4000, 4000}, {128, 128, 128, 128}},
           Case{"four levels 4800 x 4800", 4800, {4000, 2000, 1000, 3000}, {128, 256, 512, 170}},
       }) {
    SCOPED_TRACE(c.label);
    CDibImage raw;
    ASSERT_TRUE(raw.Create(c.size, c.size, 16));
    FillCells(raw, 3, c.cells);
    std::array<int, 4> gains{};
    ASSERT_TRUE(tevrin::image::MeasureGrayGains(raw, 3, gains));
    EXPECT_EQ(gains, c.gains);
  }
}

TEST(LargeFrames, WhiteBalanceBringsRedAndBlueToTheGreenMean) {
  struct Case {
    const char* label;
    int size;
    int green, blue, red;
    int redGain, blueGain;
  };
  for (const Case& c : {
           Case{"2000 x 2000", 2000, 60000, 20000, 30000, 200, 300},
           Case{"3000 x 3000 limited", 3000, 65535, 16000, 60000, 109, 400},
       }) {
    SCOPED_TRACE(c.label);
    CDibImage raw;
    ASSERT_TRUE(raw.Create(c.size, c.size, 16));
    tevrin::test::FillColourPlanes(raw, 0, c.green, c.blue, c.red);
    tevrin::image::WhiteBalanceGains gains;
    ASSERT_TRUE(tevrin::image::MeasureWhiteBalance(raw, 0, gains));
    EXPECT_EQ(gains.red, c.redGain);
    EXPECT_EQ(gains.green, 100);
    EXPECT_EQ(gains.blue, c.blueGain);
  }
}

}  // namespace
