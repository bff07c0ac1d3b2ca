// The camera list syntax and the frame generator on their own.
#include <gtest/gtest.h>

#include <algorithm>

#include "CameraConfig.h"
#include "FrameGenerator.h"

namespace {

using namespace tevrin::virtualcam;

TEST(CameraList, ParsesModelsBoardsSourcesAndValues) {
  std::string error;
  auto cameras = ParseCameraList("0x3280, 0x3290:fast:pattern:seed=7:serial=AB12:fw=0x1100:fpga=272:gpio25=0", error);
  ASSERT_TRUE(cameras) << error;
  ASSERT_EQ(cameras->size(), 2u);
  EXPECT_EQ((*cameras)[0].productId, 0x3280);
  EXPECT_FALSE((*cameras)[0].fastBoard);
  const CameraConfig& second = (*cameras)[1];
  EXPECT_EQ(second.productId, 0x3290);
  EXPECT_TRUE(second.fastBoard);
  EXPECT_TRUE(second.pattern);
  EXPECT_EQ(second.seed, 7u);
  EXPECT_EQ(second.serialNumber, "AB12");
  EXPECT_EQ(second.firmwareVersion, 0x1100);
  EXPECT_EQ(second.fpgaVersion, 272);
  EXPECT_EQ(second.gpio25Flag, 0);

  EXPECT_TRUE(ParseCameraList("none", error)->empty());
  for (const char* bad : {"0x3280:turbo", "pizza", "0x3280:fw=0x10000", "0x3280:seed=", "0x3280,,0x3290"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseCameraList(bad, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(CameraList, ProductIdsChooseHowFramesTravel) {
  std::string error;
  auto cameras = ParseCameraList("0x3042:pattern,0x3310,0x3320,0x3330,0x3340:fast,0x3280,0x3290", error);
  ASSERT_TRUE(cameras) << error;
  std::vector<FrameRoute> routes;
  for (const CameraConfig& camera : *cameras) routes.push_back(camera.route());
  EXPECT_EQ(routes,
            (std::vector<FrameRoute>{FrameRoute::kAuxiliary, FrameRoute::kMemoryStream, FrameRoute::kMemoryStream,
                                     FrameRoute::kMemoryStream, FrameRoute::kMemoryStream, FrameRoute::kHeaderAndImage,
                                     FrameRoute::kHeaderAndImage}));
  EXPECT_TRUE((*cameras)[0].pattern);
  EXPECT_TRUE((*cameras)[4].fastBoard);
}

FrameParameters FullFrame(bool halfTurn, uint32_t counter) {
  FrameParameters frame;
  frame.format = {640, 512, 2};
  frame.mountedHalfTurn = halfTurn;
  frame.frameCounter = counter;
  return frame;
}

std::vector<uint16_t> Render(FrameGenerator& generator, const FrameParameters& frame) {
  std::vector<uint16_t> image(size_t(frame.format.width) * frame.format.height);
  generator.Generate(frame, reinterpret_cast<uint8_t*>(image.data()));
  return image;
}

double MeanOfColumns(const std::vector<uint16_t>& image, int from, int to) {
  double sum = 0;
  for (int y = 0; y < 512; ++y) {
    for (int x = from; x < to; ++x) sum += image[size_t(y) * 640 + x];
  }
  return sum / (512.0 * (to - from));
}

TEST(FrameGenerator, DeterministicBySeedAndTurnedOnTheHalfTurnModel) {
  FrameGenerator a(5, false), b(5, false), c(6, false);
  auto first = Render(a, FullFrame(false, 10));
  EXPECT_EQ(first, Render(b, FullFrame(false, 10)));
  EXPECT_NE(first, Render(c, FullFrame(false, 10)));
  EXPECT_NE(first, Render(a, FullFrame(false, 11)));  // noise changes from frame to frame

  // The scene brightens to the right; the half-turned sensor reads it from the right.
  EXPECT_LT(MeanOfColumns(first, 0, 200), MeanOfColumns(first, 440, 640));
  auto turned = Render(a, FullFrame(true, 10));
  EXPECT_GT(MeanOfColumns(turned, 0, 200), MeanOfColumns(turned, 440, 640));

  // Hot pixels saturate and cold ones sit at the black level, in every frame.
  int hot = 0, cold = 0;
  for (uint16_t sample : first) {
    hot += sample == 4095;
    cold += sample == 60;
  }
  EXPECT_GE(hot, 8);
  EXPECT_GE(cold, 8);
}

TEST(FrameGenerator, StraightAndScatteredColumnReadsAgree) {
  // A window running past the sensor's edge repeats its last column, so its
  // columns are no longer contiguous; the columns before the edge must not change.
  for (bool halfTurn : {false, true}) {
    SCOPED_TRACE(halfTurn);
    FrameGenerator generator(9, false);
    FrameParameters straight = FullFrame(halfTurn, 41);
    straight.window.x = 8;
    straight.format.width = 632;
    FrameParameters scattered = straight;
    scattered.format.width = 640;
    auto a = Render(generator, straight);
    auto b = Render(generator, scattered);
    for (int y : {0, 255, 511}) {
      EXPECT_TRUE(std::equal(a.begin() + y * 632, a.begin() + y * 632 + 632, b.begin() + y * 640));
    }
  }
}

TEST(FrameGenerator, EightBitOutputCarriesTheUpperBitsOfTheWindow) {
  FrameGenerator generator(1, true);
  FrameParameters frame = FullFrame(false, 3);
  frame.format = {100, 50, 1};
  frame.window = {16, 8, 2};
  std::vector<uint8_t> image(100 * 50);
  generator.Generate(frame, image.data());
  for (int y : {0, 49}) {
    for (int x : {0, 99}) {
      EXPECT_EQ(image[y * 100 + x], PatternSample(16 + 2 * x, 8 + 2 * y, 3) >> 4);
    }
  }
}

}  // namespace
