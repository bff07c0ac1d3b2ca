// The mask operations of an instance without a device object: nothing to
// take references from, nothing loaded or saved.
#include "support/InstanceFixture.h"

namespace {

using MaskFiles = InstanceTest;
using ::testing::ElementsAre;

TEST_F(MaskFiles, WithoutDeviceEveryMaskOperationIsNotReady) {
  auto instance = MakeWithoutDevice();
  EXPECT_EQ(instance->LoadMaskFile("mask.bin"), 0);
  EXPECT_EQ(instance->SaveMaskFile("mask.bin"), 0);
  EXPECT_EQ(instance->UpdateMaskData(0), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(TEVRIN_ERROR_NOT_READY, TEVRIN_ERROR_NOT_READY, TEVRIN_ERROR_NOT_READY));
  EXPECT_THAT(PostedErrors(), ElementsAre(TEVRIN_ERROR_NOT_READY, TEVRIN_ERROR_NOT_READY, TEVRIN_ERROR_NOT_READY));
}

}  // namespace
