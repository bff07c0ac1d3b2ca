// A test with its own recording driver and controllers bound to it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "support/RecordingDriver.h"
#include "usb/TevrinCy3Cam.h"

namespace tevrin::test {

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override { driver = RecordingDriver::Install(); }
  void TearDown() override { RecordingDriver::Uninstall(driver); }

  static std::unique_ptr<CTevrinCy3Cam> NewController() { return std::make_unique<CTevrinCy3Cam>(&kRecordingGuid); }

  // A controller with `paths` plugged in, scanned, the first path selected
  // and the transfer block allocated; the requests of the set-up are forgotten.
  std::unique_ptr<CTevrinCy3Cam> OpenCamera(std::vector<std::string> paths = {CameraPath(0x3280, 1)}) {
    driver->SetInterfaces(paths);
    auto camera = NewController();
    int selected = -1;
    for (int i = 0; i < camera->ScanDevices(); ++i)
      if (camera->Entry(i)->path == paths.front()) selected = i;
    EXPECT_TRUE(camera->SelectDevice(selected));
    EXPECT_TRUE(camera->AllocateTransfer());
    driver->ClearRequests();
    return camera;
  }

  std::shared_ptr<RecordingDriver> driver;
};

}  // namespace tevrin::test
