// The exports on a machine without a camera: handles, release, the
// forwarding of stored settings, second names, wide text and the error codes
// an instance without a camera gives.
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <TevrinSdk_Halden.h>

#include "FreshRegistry.h"
#include "PostedMessages.h"

namespace {

using ::testing::ElementsAre;

const HWND kWindow = reinterpret_cast<HWND>(0x4242);

// A handle released at the end of the test.
class Handle {
 public:
  explicit Handle(HWND window = kWindow) : value_(Tevrin_Initialize(window)) {}
  ~Handle() { Tevrin_Release(value_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  operator int() const { return value_; }

 private:
  int value_;
};

class Exports : public ::testing::Test {
 protected:
  void SetUp() override { UseFreshRegistry(); }
};

std::vector<int> Errors(int handle) {
  std::vector<int> codes;
  for (int code = Tevrin_GetLastError(handle); code != 0; code = Tevrin_GetLastError(handle)) codes.push_back(code);
  return codes;
}

std::string Scratch(const std::string& name) {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  return std::string(scratch ? scratch : "/tmp") + "/" + name;
}

TEST_F(Exports, HandlesAreNonzeroAndDistinct) {
  std::vector<int> handles;
  std::set<int> seen;
  for (int i = 0; i < 64; ++i) {
    handles.push_back(Tevrin_Initialize(nullptr));
    EXPECT_NE(handles.back(), 0);
    seen.insert(handles.back());
  }
  EXPECT_EQ(seen.size(), handles.size());
  for (int handle : handles) EXPECT_EQ(Tevrin_Release(handle), 1);
}

TEST_F(Exports, ReleasingTheMiddleOfThreeLeavesTheOthersReachable) {
  const int first = Tevrin_Initialize(nullptr);
  const int middle = Tevrin_Initialize(nullptr);
  const int last = Tevrin_Initialize(nullptr);
  ASSERT_EQ(Tevrin_SetWaitTime(first, 1), 1);
  ASSERT_EQ(Tevrin_SetWaitTime(last, 3), 1);
  EXPECT_EQ(Tevrin_Release(middle), 1);
  EXPECT_EQ(Tevrin_Release(middle), 0);
  EXPECT_EQ(Tevrin_GetWaitTime(middle), -1);
  EXPECT_EQ(Tevrin_GetWaitTime(first), 1);
  EXPECT_EQ(Tevrin_GetWaitTime(last), 3);
  EXPECT_EQ(Tevrin_Release(first), 1);
  EXPECT_EQ(Tevrin_Release(last), 1);
  EXPECT_EQ(Tevrin_Release(last), 0);
}

TEST_F(Exports, StoredSettingsNeedNoCamera) {
  Handle h;
  EXPECT_EQ(Tevrin_GetLastError(h), 0);
  EXPECT_EQ(Tevrin_GetStatus(h), 0);
  EXPECT_EQ(Tevrin_GetColorMode(h), 8);
  EXPECT_EQ(Tevrin_SetColorMode(h, 16), 1);
  EXPECT_EQ(Tevrin_GetColorMode(h), 16);
  EXPECT_EQ(Tevrin_Width(h), 640);
  EXPECT_EQ(Tevrin_Height(h), 512);
  EXPECT_EQ(Tevrin_SetSubSample(h, 1), 1);
  EXPECT_EQ(Tevrin_GetSubSample(h), 1);
  EXPECT_EQ(Tevrin_SetWaitTime(h, -5), 0);
  EXPECT_EQ(Tevrin_GetWaitTime(h), 1);  // the stored default
  int th = 0, ehs = -1, eh = 0, tv = 0, evs = -1, ev = 0;
  EXPECT_EQ(Tevrin_GetCaptureWindowEx(h, &th, &ehs, &eh, &tv, &evs, &ev), 1);
  EXPECT_EQ(th + ehs + eh + tv + evs + ev, 640 + 640 + 512 + 512);
  int ok = 0;
  EXPECT_EQ(Tevrin_SetAutoIris(h, 2), 1);
  EXPECT_EQ(Tevrin_GetAutoIris(h, &ok), 2);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(Tevrin_Close(h), 1);
  EXPECT_EQ(Tevrin_GetLastError(h), 0);
}

TEST_F(Exports, WithoutACameraDeviceOperationsFail) {
  Handle h;
  char name[64];
  EXPECT_EQ(Tevrin_SetDeviceNumber(h, 0), 0);
  EXPECT_EQ(Tevrin_GetDeviceName(h, 0, name, 64), 0);
  EXPECT_EQ(Tevrin_SetChannelGain(h, 1, 3), 0);
  EXPECT_THAT(Errors(h), ElementsAre(9, 2, 2));
  EXPECT_EQ(Tevrin_SetChannelGain(h, 5, 3), 0);
  EXPECT_EQ(Tevrin_SetChannelOffset(h, 0, 3), 0);
  EXPECT_EQ(Tevrin_GetLastError(h), 0);
}

TEST_F(Exports, SecondNamesBehaveAsTheirFirst) {
  Handle h;
  TakePostedMessages();
  EXPECT_EQ(Tevrin_Fps(h), 0);
  EXPECT_EQ(Tevrin_SetCrossbar(h, 3), 0);
  EXPECT_EQ(Tevrin_GetHalfClock(h), 0);
  EXPECT_EQ(Tevrin_SetHalfClock(h, 1), 0);
  EXPECT_EQ(Tevrin_GetLastError(h), 0);  // posted, never recorded
  EXPECT_EQ(Tevrin_SendText(h, "hello"), 0);
  char text[8];
  EXPECT_EQ(Tevrin_ReceiveText(h, text, 8), 0);
  EXPECT_EQ(Tevrin_SetConfigFilter(h), -1);
  EXPECT_EQ(Tevrin_GetConfigFilter(h), -1);
  EXPECT_THAT(Errors(h), ElementsAre(11, 11, 11, 11));
  std::vector<int> posted;
  for (const auto& message : TakePostedMessages()) {
    EXPECT_EQ(message.window, kWindow);
    EXPECT_EQ(message.message, 32771u);
    posted.push_back(static_cast<int>(message.lParam));
  }
  EXPECT_EQ(posted, std::vector<int>(8, 11));
  int value = 9;
  EXPECT_EQ(Tevrin_GetSamplingRate(h, &value), 0);
  EXPECT_EQ(value, 0);
  value = 9;
  EXPECT_EQ(Tevrin_GetVideoFormat(h, &value), 0);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(Tevrin_GetVideoFormat(h, nullptr), 0);
}

TEST_F(Exports, WidePathsAreConvertedForTheNarrowForm) {
  Handle h;
  const std::string path = Scratch("caf\xC3\xA9.cfg");
  std::ofstream(path, std::ios::binary) << std::string(16, '\1');
  const std::string folder = Scratch("");  // ASCII
  const std::wstring wide = std::wstring(folder.begin(), folder.end()) + L"caf\u00e9.cfg";
  EXPECT_EQ(Tevrin_LoadConfigFileW(h, wide.c_str()), 1);
  EXPECT_EQ(Tevrin_LoadConfigFileA(h, path.c_str()), 1);
  EXPECT_EQ(Tevrin_LoadConfigFileW(h, L"/nonexistent/file"), 0);
  EXPECT_EQ(Tevrin_GetLastError(h), 0);
}

TEST_F(Exports, WideTextThatDoesNotConvertIsError12) {
  Handle h;
  const std::wstring tooLong(1024, L'a');  // 1025 bytes with its terminator
  const std::wstring fits(1023, L'a');
  EXPECT_EQ(Tevrin_LoadConfigFileW(h, tooLong.c_str()), 0);
  EXPECT_EQ(Tevrin_LoadConfigFileW(h, nullptr), 0);
  EXPECT_EQ(Tevrin_SaveImageW(h, tooLong.c_str(), 0), 0);
  EXPECT_EQ(Tevrin_RecordW(h, tooLong.c_str(), 10, 0), 0);
  EXPECT_EQ(Tevrin_LoadMaskFileW(h, nullptr), 0);
  EXPECT_EQ(Tevrin_SaveMaskFileW(h, tooLong.c_str()), 0);
  EXPECT_THAT(Errors(h), ElementsAre(12, 12, 12, 12, 12, 12));
  EXPECT_EQ(Tevrin_LoadConfigFileW(h, fits.c_str()), 0);  // converts; the file does not exist
  EXPECT_EQ(Tevrin_GetLastError(h), 0);
}

TEST_F(Exports, WideNamesReturnTheEmptyNameWhenTheNarrowCallFails) {
  Handle h;
  wchar_t name[8];
  name[0] = L'x';
  EXPECT_EQ(Tevrin_GetDeviceNameW(h, 0, name, 8), 1);
  EXPECT_EQ(name[0], L'\0');
  EXPECT_EQ(Tevrin_GetDeviceNameW(h, 0, name, 0), 0);
  EXPECT_EQ(Tevrin_GetDeviceNameW(h, 0, nullptr, 8), 0);
  EXPECT_THAT(Errors(h), ElementsAre(12, 2, 12, 2, 2));
  wchar_t serial[4] = L"abc";
  EXPECT_EQ(Tevrin_ReadSerialNumberW(h, serial, 4), 1);
  EXPECT_EQ(serial[0], L'\0');
  EXPECT_THAT(Errors(h), ElementsAre());  // the failed first EEPROM read records nothing
}

TEST_F(Exports, WideEnumWithoutACamera) {
  Handle h;
  wchar_t names[10][256];
  names[3][0] = L'x';
  EXPECT_EQ(Tevrin_EnumDeviceW(h, names), 0);
  EXPECT_EQ(names[3][0], L'\0');
  EXPECT_EQ(Tevrin_EnumDeviceW(h, nullptr), 0);
  EXPECT_THAT(Errors(h), ElementsAre(9));
}

}  // namespace
