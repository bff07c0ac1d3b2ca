// Image filters end to end: a setting made through the exports changes the
// frame a snapshot delivers from the virtual camera's test pattern, and a
// refused value changes nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/PatternCamera.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using tevrin::test::kPixels;

class ImageFilters : public tevrin::test::PatternCameraTest {};

TEST_F(ImageFilters, BrightnessBlackensTheSnapshotAndARefusedValueKeepsIt) {
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 8), 1);
  const std::vector<uint8_t> plain = Snap8();
  EXPECT_GT(*std::max_element(plain.begin(), plain.end()), 200);

  ASSERT_EQ(Tevrin_SetBrightness(handle_, -255), 1);
  EXPECT_THAT(Snap8(), Each(0));

  EXPECT_EQ(Tevrin_SetBrightness(handle_, 256), 0);
  EXPECT_EQ(Tevrin_SetGamma(handle_, 201), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_ARGUMENT, TEVRIN_ERROR_ARGUMENT));
  int ok = 0;
  EXPECT_EQ(Tevrin_GetBrightness(handle_, &ok), -255);
  EXPECT_EQ(Tevrin_GetGamma(handle_, &ok), 100);
  EXPECT_THAT(Snap8(), Each(0));

  ASSERT_EQ(Tevrin_SetBrightness(handle_, 0), 1);
  const std::vector<uint8_t> again = Snap8();
  EXPECT_GT(*std::max_element(again.begin(), again.end()), 200);
}

// A white reference taken from one frame of the pattern (which moves by 7 a
// frame) brings the next frames to full scale: the sensor's 4095, not 16
// times that.
TEST_F(ImageFilters, MaskFilterKeepsSixteenBitFramesOnTwelveBits) {
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  Snap16();
  ASSERT_EQ(Tevrin_UpdateMaskData(handle_, 1), 1);
  ASSERT_EQ(Tevrin_SetMaskFilter(handle_, 1), 1);
  const std::vector<uint16_t> corrected = Snap16();
  EXPECT_EQ(*std::max_element(corrected.begin(), corrected.end()), 4095);
  EXPECT_GT(std::count(corrected.begin(), corrected.end(), 4095), kPixels / 2);
}

}  // namespace
