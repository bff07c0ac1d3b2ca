#pragma once

#include <memory>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeCameraDevice.h"
#include "FreshRegistry.h"
#include "PostedMessages.h"
#include "instance/Tevrin.h"

// Builds instances around a fake device and reads their error history.
class InstanceTest : public ::testing::Test {
 protected:
  static inline const HWND kWindow = reinterpret_cast<HWND>(0x5150);

  void SetUp() override {
    TakePostedMessages();
    TakeDeviceRegistrations();
    FailDeviceRegistrations(false);
    UseFreshRegistry();
  }

  // An initialised instance that owns `fake`; `device` keeps pointing at it.
  std::unique_ptr<CTevrin> Make(std::unique_ptr<CFakeCameraDevice> fake, HWND window = kWindow);
  // An initialised instance with a default fake device (one camera, selected).
  std::unique_ptr<CTevrin> Make(HWND window = kWindow) { return Make(std::make_unique<CFakeCameraDevice>(), window); }
  // An instance of a build without a device layer.
  std::unique_ptr<CTevrin> MakeWithoutDevice(HWND window = kWindow);

  // Pops the whole history, newest first, up to the first 0.
  static std::vector<int> Errors(CTevrin& instance);
  // The codes of the error notifications posted since the last call.
  static std::vector<int> PostedErrors();

  CFakeCameraDevice* device = nullptr;
};
