// Defect maps from references: thresholds by depth, the untouched border.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "image/DefectMap.h"
#include "image/DibImage.h"

namespace {

using tevrin::image::BuildDefectMap;
using tevrin::image::DefectKind;

TEST(DefectMap, MarksHotAndColdPixelsInsideTheBorder) {
  CDibImage reference, map;
  ASSERT_TRUE(reference.Create(640, 512, 8));
  ASSERT_TRUE(map.Create(640, 512, 8));
  std::memset(reference.Bits(), 100, reference.ByteSize());
  std::memset(map.Bits(), 7, map.ByteSize());  // stale marks
  reference.Row(10)[20] = 193;
  reference.Row(11)[20] = 192;
  reference.Row(1)[20] = 255;  // in the border
  BuildDefectMap(reference, map, DefectKind::kHot);
  EXPECT_EQ(map.Row(10)[20], 1);
  EXPECT_EQ(map.Row(11)[20], 0);
  EXPECT_EQ(map.Row(1)[20], 7);
  EXPECT_EQ(map.Row(509)[637], 0);
  EXPECT_EQ(map.Row(509)[638], 7);

  reference.Row(30)[40] = 63;
  reference.Row(31)[40] = 64;
  BuildDefectMap(reference, map, DefectKind::kCold);
  EXPECT_EQ(map.Row(30)[40], 1);
  EXPECT_EQ(map.Row(31)[40], 0);
  EXPECT_EQ(map.Row(10)[20], 0);
}

TEST(DefectMap, SixteenBitThresholdsAndMismatchedImages) {
  CDibImage reference, map, small;
  ASSERT_TRUE(reference.Create(640, 512, 16));
  ASSERT_TRUE(map.Create(640, 512, 16));
  ASSERT_TRUE(small.Create(320, 256, 16));
  auto* samples = reinterpret_cast<uint16_t*>(reference.Row(100));
  samples[100] = 3073;
  samples[101] = 3072;
  samples[102] = 1023;
  BuildDefectMap(reference, map, DefectKind::kHot);
  const auto* marks = reinterpret_cast<const uint16_t*>(map.Row(100));
  EXPECT_EQ(marks[100], 1);
  EXPECT_EQ(marks[101], 0);
  BuildDefectMap(reference, map, DefectKind::kCold);
  EXPECT_EQ(marks[102], 1);
  EXPECT_EQ(marks[103], 1);  // 0 is below every cold threshold

  small.Row(5)[5] = 0xAB;
  BuildDefectMap(reference, small, DefectKind::kHot);
  EXPECT_EQ(small.Row(5)[5], 0xAB) << "a map of another size is left alone";
}

}  // namespace
