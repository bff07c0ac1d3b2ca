// A controller on the first of the virtual cameras `cameras` names (the
// virtual camera's list syntax), selected and with its transfer block.
#pragma once

#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <memory>

#include "usb/TevrinCy3Cam.h"

namespace tevrin::test {

inline std::unique_ptr<CTevrinCy3Cam> OpenVirtualCamera(const char* cameras) {
  EXPECT_TRUE(virtualcam::Configure(cameras));
  auto camera = std::make_unique<CTevrinCy3Cam>();
  EXPECT_GT(camera->ScanDevices(), 0);
  EXPECT_TRUE(camera->SelectDevice(0));
  EXPECT_TRUE(camera->AllocateTransfer());
  return camera;
}

}  // namespace tevrin::test
