// The error history, the error notification and what Initialize does.
#include <cstring>

#include "support/InstanceFixture.h"

namespace {

using ErrorModel = InstanceTest;
using ::testing::ElementsAre;

TEST_F(ErrorModel, CodesComeBackNewestFirstThenZero) {
  auto instance = Make();
  CameraInfo info{};
  info.size = 35;
  EXPECT_EQ(instance->SetColorMode(12), 0);                              // 9
  EXPECT_EQ(instance->SetCaptureWindowEx(640, 1, 640, 512, 0, 512), 0);  // 7
  EXPECT_EQ(instance->GetCameraInfo(&info), 0);                          // 5
  EXPECT_EQ(instance->PopError(), 5);
  EXPECT_EQ(instance->PopError(), 7);
  EXPECT_EQ(instance->PopError(), 9);
  EXPECT_EQ(instance->PopError(), 0);
  EXPECT_EQ(instance->PopError(), 0);
}

TEST_F(ErrorModel, HistoryKeepsTheTwentyNewest) {
  auto instance = Make();
  for (int i = 0; i < 21; ++i) instance->RecordError(i % 2 ? 9 : 7);  // oldest is a 7
  for (int i = 20; i >= 1; --i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(instance->PopError(), i % 2 ? 9 : 7);
  }
  EXPECT_EQ(instance->PopError(), 0);
}

TEST_F(ErrorModel, RecordedErrorsArePostedToTheNotifyWindow) {
  auto instance = Make();
  instance->SetColorMode(12);
  const auto posted = TakePostedMessages();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].window, kWindow);
  EXPECT_EQ(posted[0].message, 32771u);
  EXPECT_EQ(posted[0].wParam, 0u);
  EXPECT_EQ(posted[0].lParam, 9);
}

TEST_F(ErrorModel, WithoutWindowRecordedErrorsAreNotPostedButPostOnlyPathsStillPost) {
  auto instance = Make(nullptr);
  EXPECT_TRUE(TakeDeviceRegistrations().empty());
  instance->SetColorMode(12);
  EXPECT_TRUE(TakePostedMessages().empty());
  EXPECT_EQ(instance->SetAutoIris(3), 0);
  const auto posted = TakePostedMessages();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].window, nullptr);
  EXPECT_EQ(posted[0].lParam, 9);
  EXPECT_THAT(Errors(*instance), ElementsAre(9));  // only the recorded one
}

TEST_F(ErrorModel, InitializeRegistersTheWindowForCameraInterfaceNotifications) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  CTevrin instance([&fake] { return std::unique_ptr<CTevrinU3K5Base>(std::move(fake)); });
  ASSERT_EQ(instance.Initialize(kWindow), 1);
  const auto registrations = TakeDeviceRegistrations();
  ASSERT_EQ(registrations.size(), 1u);
  EXPECT_EQ(registrations[0].recipient, kWindow);
  EXPECT_EQ(registrations[0].flags, 0u);
  EXPECT_EQ(registrations[0].filter.dbcc_size, 32u);
  EXPECT_EQ(registrations[0].filter.dbcc_devicetype, 5u);
  const GUID expected = {0x328184C5, 0x93E6, 0x49B7, {0x94, 0xB8, 0x2A, 0xDA, 0x13, 0xAA, 0xBB, 0x39}};
  EXPECT_EQ(std::memcmp(&registrations[0].filter.dbcc_classguid, &expected, sizeof expected), 0);
}

TEST_F(ErrorModel, FailedRegistrationFailsInitializeWithItsCode) {
  FailDeviceRegistrations(true);
  CTevrin instance([] { return std::make_unique<CFakeCameraDevice>(); });
  EXPECT_EQ(instance.Initialize(kWindow), 0);
  EXPECT_THAT(Errors(instance), ElementsAre(TEVRIN_ERROR_WINDOW_OR_SIZE));
}

TEST_F(ErrorModel, DeviceThatCannotBeCreatedIsError5) {
  CTevrin instance([] { return std::unique_ptr<CTevrinU3K5Base>(); });
  EXPECT_EQ(instance.Initialize(nullptr), 0);
  EXPECT_THAT(Errors(instance), ElementsAre(5));
}

TEST_F(ErrorModel, InitializeSelectsTheOnlyCamera) {
  auto instance = Make();
  EXPECT_EQ(instance->DeviceNumber(), 0);
  ASSERT_GE(device->calls.size(), 3u);
  EXPECT_EQ(device->calls[0], "SetProductId(12928)");
  EXPECT_EQ(device->calls[1], "CreateController");
  EXPECT_EQ(device->calls[2], "OpenDevice(0)");
}

TEST_F(ErrorModel, InitializeLeavesTheChoiceToTheCallerWhenSeveralCamerasArePresent) {
  auto fake = std::make_unique<CFakeCameraDevice>();
  fake->present = {0, 1};
  fake->count = 2;
  auto instance = Make(std::move(fake));
  EXPECT_EQ(instance->DeviceNumber(), -1);
  EXPECT_THAT(device->calls, ElementsAre("SetProductId(12928)", "CreateController"));
}

TEST_F(ErrorModel, TeardownClosesTheDevice) {
  // The device dies with the instance; it hands its log out as it goes.
  struct Watched : CFakeCameraDevice {
    std::vector<std::string>* log = nullptr;
    ~Watched() override { *log = calls; }
  };
  std::vector<std::string> finalCalls;
  auto watched = std::make_unique<Watched>();
  watched->log = &finalCalls;
  Make(std::move(watched)).reset();
  ASSERT_FALSE(finalCalls.empty());
  EXPECT_EQ(finalCalls.back(), "CloseDevice");
}

}  // namespace
