// A setting dialog pauses the acquisition and resumes it as it was.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "support/InstanceFixture.h"

namespace {

class AcquisitionPause : public InstanceTest {};

TEST_F(AcquisitionPause, PreviewStopsForTheDialogAndStartsAgain) {
  auto instance = Make();
  ASSERT_EQ(instance->StartPreview(), 1);
  AcquisitionState stateDuringDialog{-1};
  EXPECT_EQ(instance->WithAcquisitionPaused([&] {
    stateDuringDialog = instance->AcquisitionState();
    return 2;  // cancelled
  }),
            2);
  EXPECT_EQ(stateDuringDialog, AcquisitionState::Idle);
  EXPECT_EQ(instance->AcquisitionState(), AcquisitionState::PreviewRunning);
  EXPECT_EQ(instance->Close(), 1);
  EXPECT_EQ(std::count(device->calls.begin(), device->calls.end(), "StartCapture(0)"), 2);
}

TEST_F(AcquisitionPause, PreparedCaptureAndTriggerKeepTheirState) {
  auto instance = Make();
  ASSERT_EQ(instance->Capture(), 1);
  AcquisitionState stateDuringDialog{-1};
  instance->WithAcquisitionPaused([&] {
    stateDuringDialog = instance->AcquisitionState();
    return 1;
  });
  EXPECT_EQ(stateDuringDialog, AcquisitionState::Idle);
  EXPECT_EQ(instance->AcquisitionState(), AcquisitionState::CapturePrepared);
  ASSERT_EQ(instance->StopPreview(), 1);

  ASSERT_EQ(instance->Trigger(nullptr, nullptr, 0, 0), 1);
  instance->WithAcquisitionPaused([&] {
    stateDuringDialog = instance->AcquisitionState();
    return 0;
  });
  EXPECT_EQ(stateDuringDialog, AcquisitionState::TriggerRunning) << "a trigger acquisition idles in place";
  EXPECT_EQ(instance->AcquisitionState(), AcquisitionState::TriggerRunning);
  EXPECT_EQ(instance->Close(), 1);
  EXPECT_EQ(instance->AcquisitionState(), AcquisitionState::Idle);
}

}  // namespace
