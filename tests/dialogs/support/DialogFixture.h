#pragma once

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "FakeCameraDevice.h"
#include "dialogs/DialogIds.h"
#include "instance/Tevrin.h"

using namespace tevrin::test;

// Opens a setting dialog of an instance around a fake camera, headless, on a
// thread of its own, in Japanese (parameter true) or English, and drives it
// from the test's thread.
class DialogTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override;
  void TearDown() override;

  bool Japanese() const { return GetParam(); }
  // An initialised instance around `fake`; `device` keeps pointing at it.
  void Make(std::unique_ptr<CFakeCameraDevice> fake = std::make_unique<CFakeCameraDevice>());
  // Runs `open` (an instance operation showing a dialog) and waits for its frame.
  void Open(std::function<int(CTevrin&, HWND)> open);
  // Presses a frame button and waits until the operation has returned.
  void Close(int button);
  // A page by the template IDs of both languages.
  HWND Page(int japaneseId, int englishId) const;

  std::unique_ptr<CTevrin> instance;
  CFakeCameraDevice* device = nullptr;
  HWND frame = nullptr;

 private:
  std::future<int> running_;
};

// Whether `condition` holds within a generous time, for what a dialog is
// posted rather than sent.
bool WaitUntil(const std::function<bool()>& condition);

// Test names that say the language.
std::string LanguageName(const ::testing::TestParamInfo<bool>& info);
