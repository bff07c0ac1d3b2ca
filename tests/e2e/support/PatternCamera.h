// The camera most end-to-end tests run on: the fast board showing its test
// pattern, without a preview window of its own, and an application window
// that receives its notifications.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace tevrin::test {

constexpr int kWidth = 640;
constexpr int kHeight = 512;
constexpr int kPixels = kWidth * kHeight;

class PatternCameraTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Releases the handle unless the test has (a second Release is refused
  // harmlessly).
  void TearDown() override;

  std::vector<uint8_t> Snap8();
  std::vector<uint16_t> Snap16();
  std::vector<int> Errors() const;
  std::vector<std::pair<WPARAM, LPARAM>> PumpFrames(size_t wanted, double seconds);

  int handle_ = 0;
  HWND window_ = nullptr;
};

}  // namespace tevrin::test
