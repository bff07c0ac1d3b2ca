// Arguments strangers pass: negative sizes, exposure times the camera cannot
// take, text that is not Unicode, wait times of a minute, and stored values
// out of their range. Each is refused or held to its range, never carried on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "support/ApplicationWindow.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;
namespace vc = tevrin::virtualcam;

class HardeningArguments : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(vc::Configure("0x3280:fast:pattern"));
    Open();
  }
  void TearDown() override {
    if (handle_) Tevrin_Release(handle_);
  }
  void Open() {
    handle_ = Tevrin_Initialize(nullptr);
    ASSERT_NE(handle_, 0);
    ASSERT_EQ(Tevrin_SetPreviewWindow(handle_, nullptr, 0, 0, 0, 0), 1);
  }
  std::vector<int> Errors() const { return tevrin::test::TakeErrors(handle_); }
  double LongestExposure() const {
    CameraInfo info{};
    info.size = sizeof info;
    EXPECT_EQ(Tevrin_GetCameraInfo(handle_, &info), 1);
    return info.exposureSecondsMax;
  }

  int handle_ = 0;
};

TEST_F(HardeningArguments, NegativeSizesAreRefusedAsTooSmall) {
  std::vector<BYTE> bytes(16, 0x5A);
  std::vector<wchar_t> wide(16, L'x');
  HWND window = tevrin::test::CreateApplicationWindow();
  char* narrow = reinterpret_cast<char*>(bytes.data());
  struct Case {
    const char* label;
    std::function<int()> call;
    int error;
  } const cases[] = {
      {"callback preview", [&] { return Tevrin_CallBackPreview(handle_, window, bytes.data(), -1, 1); },
       TEVRIN_ERROR_BUFFER},
      {"trigger", [&] { return Tevrin_Trigger(handle_, window, bytes.data(), INT_MIN, 1); }, TEVRIN_ERROR_BUFFER},
      {"device name", [&] { return Tevrin_GetDeviceName(handle_, 0, narrow, -1); }, TEVRIN_ERROR_ARGUMENT},
      {"serial number", [&] { return Tevrin_ReadSerialNumberA(handle_, narrow, -1); }, TEVRIN_ERROR_ARGUMENT},
      {"wide device name", [&] { return Tevrin_GetDeviceNameW(handle_, 0, wide.data(), -1); },
       TEVRIN_ERROR_TEXT_OR_FILE},
      {"wide serial number", [&] { return Tevrin_ReadSerialNumberW(handle_, wide.data(), -1); },
       TEVRIN_ERROR_TEXT_OR_FILE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.call(), 0);
    EXPECT_THAT(Errors(), ElementsAre(c.error));
  }
  CameraInfo info{};
  info.size = -1;
  EXPECT_EQ(Tevrin_GetCameraInfo(handle_, &info), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_BUFFER));
  EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
  EXPECT_THAT(bytes, Each(0x5A));
  EXPECT_THAT(wide, Each(L'x'));
  DestroyWindow(window);
}

TEST_F(HardeningArguments, ExposureKeepsWhatTheCameraTook) {
  const double longest = LongestExposure();
  ASSERT_GT(longest, 0.0);
  const double refused[] = {-1.0, -std::numeric_limits<double>::infinity(), std::nan("")};
  for (const double seconds : refused) {
    SCOPED_TRACE(seconds);
    EXPECT_EQ(Tevrin_SetExposureTimeEx(handle_, seconds), 0);
    EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_ARGUMENT));
  }
  for (const double seconds : {5e9, 1e300}) {
    SCOPED_TRACE(seconds);
    ASSERT_EQ(Tevrin_SetExposureTimeEx(handle_, seconds), 1);
    int ok = 0;
    EXPECT_EQ(Tevrin_GetExposureTimeEx(handle_, &ok), longest);
    const int microseconds = Tevrin_GetRealExposureTime(handle_, &ok);
    EXPECT_GT(microseconds, 0);
    EXPECT_LE(microseconds, longest * 1e6);
  }
}

TEST_F(HardeningArguments, InvalidUnicodeIsError12) {
  const std::wstring paths[] = {
      {L'a', static_cast<wchar_t>(0xD800), L'b'},  // unpaired high surrogate
      {static_cast<wchar_t>(0xDC00), L'.', L'p'},  // unpaired low surrogate
      {static_cast<wchar_t>(0x110000)},            // beyond Unicode
      {static_cast<wchar_t>(-1)},
  };
  for (const std::wstring& path : paths) {
    EXPECT_EQ(Tevrin_SaveImageW(handle_, path.c_str(), TEVRIN_FORMAT_BMP), 0);
    EXPECT_EQ(Tevrin_LoadConfigFileW(handle_, path.c_str()), 0);
    EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_TEXT_OR_FILE, TEVRIN_ERROR_TEXT_OR_FILE));
  }
}

TEST_F(HardeningArguments, WaitTimeIsHeldToItsRangeAndNeverDelaysAStop) {
  ASSERT_EQ(Tevrin_SetExposureTimeEx(handle_, 0.001), 1);  // a frame read is short
  ASSERT_EQ(Tevrin_SetWaitTime(handle_, 60000), 1);
  const int held = Tevrin_GetWaitTime(handle_);
  EXPECT_LE(held, 1000);
  ASSERT_EQ(Tevrin_Preview(handle_), 1);
  Sleep(50);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
  // A stop sees the delay's slices; a delay slept in one piece would take it whole.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(held / 2));
}

// Values another program (or an older SDK) stored out of range come back within it.
TEST_F(HardeningArguments, StoredValuesLoadWithinTheirRange) {
  ASSERT_EQ(Tevrin_Release(handle_), 1);
  handle_ = 0;
  HKEY camera = nullptr;
  HKEY gain = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_00", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &camera, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyExA(camera, "Gain", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &gain, nullptr), ERROR_SUCCESS);
  const DWORD wait = 60000;
  const DWORD exposure = INT32_MAX;
  RegSetValueExA(camera, "WaitTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&wait), sizeof wait);
  RegSetValueExA(gain, "Exposure", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&exposure), sizeof exposure);
  RegCloseKey(gain);
  RegCloseKey(camera);
  Open();
  EXPECT_LE(Tevrin_GetWaitTime(handle_), 1000);
  int ok = 0;
  EXPECT_LE(Tevrin_GetRealExposureTime(handle_, &ok), LongestExposure() * 1e6);
}

}  // namespace
