// Every handle-taking export answers an unknown or released handle with its
// unknown value at once, and records and posts nothing.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <TevrinSdk_Halden.h>

#include "PostedMessages.h"

namespace {

struct Call {
  const char* name;
  std::function<double(int handle, int* ok)> run;
  double unknown;
};

#define CALL(name, expression, unknown)                                       \
  Call {                                                                      \
#name, [](int h, int* ok) -> double { (void)ok; return expression; }, unknown \
  }

std::vector<Call> AllCalls() {
  static char names[10][256];
  static wchar_t wideNames[10][256];
  static char text[64];
  static wchar_t wideText[64];
  static BYTE bytes[64];
  static int a, b, c, d, e, f;
  static CameraInfo info = [] {
    CameraInfo block{};
    block.size = sizeof block;
    return block;
  }();
  return {
      CALL(Release, Tevrin_Release(h), 0),
      CALL(GetLastError, Tevrin_GetLastError(h), 0),
      CALL(GetStatus, Tevrin_GetStatus(h), 0),
      CALL(Close, Tevrin_Close(h), 0),
      CALL(SetDeviceNumber, Tevrin_SetDeviceNumber(h, 0), 0),
      CALL(EnumDevice, Tevrin_EnumDevice(h, names), 0),
      CALL(EnumDeviceW, Tevrin_EnumDeviceW(h, wideNames), 0),
      CALL(GetDeviceName, Tevrin_GetDeviceName(h, 0, text, 64), 0),
      CALL(GetDeviceNameW, Tevrin_GetDeviceNameW(h, 0, wideText, 64), 0),
      CALL(ReadSerialNumberA, Tevrin_ReadSerialNumberA(h, text, 64), 0),
      CALL(ReadSerialNumberW, Tevrin_ReadSerialNumberW(h, wideText, 64), 0),
      CALL(GetCameraInfo, Tevrin_GetCameraInfo(h, &info), 0),
      CALL(Preview, Tevrin_Preview(h), 0),
      CALL(CallBackPreview, Tevrin_CallBackPreview(h, nullptr, bytes, 64, 0), 0),
      CALL(StartPreview, Tevrin_StartPreview(h), 0),
      CALL(StopPreview, Tevrin_StopPreview(h), 0),
      CALL(Capture, Tevrin_Capture(h), 0),
      CALL(SnapShot, Tevrin_SnapShot(h, bytes, 64, 0), 0),
      CALL(Trigger, Tevrin_Trigger(h, nullptr, bytes, 64, 0), 0),
      CALL(GetImage, Tevrin_GetImage(h, bytes, 64, 0), 0),
      CALL(Record, Tevrin_Record(h, "x.avi", 10, 0), 0),
      CALL(RecordW, Tevrin_RecordW(h, L"x.avi", 10, 0), 0),
      CALL(Fps, Tevrin_Fps(h), 0),
      CALL(GetHalfClock, Tevrin_GetHalfClock(h), 0),
      CALL(SetHalfClock, Tevrin_SetHalfClock(h, 1), 0),
      CALL(SetCrossbar, Tevrin_SetCrossbar(h, 1), 0),
      CALL(Width, Tevrin_Width(h), 0),
      CALL(Height, Tevrin_Height(h), 0),
      CALL(SetCaptureWindow, Tevrin_SetCaptureWindow(h, 640, 512), 0),
      CALL(SetCaptureWindowEx, Tevrin_SetCaptureWindowEx(h, 640, 0, 640, 512, 0, 512), 0),
      CALL(GetCaptureWindowEx, Tevrin_GetCaptureWindowEx(h, &a, &b, &c, &d, &e, &f), 0),
      CALL(SetColorMode, Tevrin_SetColorMode(h, 8), 0),
      CALL(GetColorMode, Tevrin_GetColorMode(h), -1),
      CALL(SetSubSample, Tevrin_SetSubSample(h, 0), 0),
      CALL(GetSubSample, Tevrin_GetSubSample(h), -1),
      CALL(SetWaitTime, Tevrin_SetWaitTime(h, 1), 0),
      CALL(GetWaitTime, Tevrin_GetWaitTime(h), -1),
      CALL(SetMirrorH, Tevrin_SetMirrorH(h, 1), 0),
      CALL(SetMirrorV, Tevrin_SetMirrorV(h, 1), 0),
      CALL(GetMirrorH, Tevrin_GetMirrorH(h), 0),
      CALL(GetMirrorV, Tevrin_GetMirrorV(h), 0),
      CALL(SetSamplingRate, Tevrin_SetSamplingRate(h, 1), 0),
      CALL(GetSamplingRate, Tevrin_GetSamplingRate(h, &a), 0),
      CALL(GetVideoFormat, Tevrin_GetVideoFormat(h, &a), 0),
      CALL(SetPreviewWindow, Tevrin_SetPreviewWindow(h, nullptr, 0, 0, 1, 1), 0),
      CALL(SetExposureTimeEx, Tevrin_SetExposureTimeEx(h, 0.5), 0),
      CALL(GetExposureTimeEx, Tevrin_GetExposureTimeEx(h, ok), 0.0),
      CALL(SetRealExposureTime, Tevrin_SetRealExposureTime(h, 1000), 0),
      CALL(GetRealExposureTime, Tevrin_GetRealExposureTime(h, ok), 0),
      CALL(GetTemperatureEx, Tevrin_GetTemperatureEx(h, ok), 0.0),
      CALL(SetAutoIris, Tevrin_SetAutoIris(h, 1), 0),
      CALL(GetAutoIris, Tevrin_GetAutoIris(h, ok), 0),
      CALL(GetInternalCorrection, Tevrin_GetInternalCorrection(h, ok), 0),
      CALL(SetInternalCorrection, Tevrin_SetInternalCorrection(h, 1), 0),
      CALL(Fpga_ReadRegister, Tevrin_Fpga_ReadRegister(h, 1, ok), 0),
      CALL(Fpga_WriteRegister, Tevrin_Fpga_WriteRegister(h, 1, 1), 0),
      CALL(ReadRegister, Tevrin_ReadRegister(h, 1, ok), 0),
      CALL(ReadRegisterEx, Tevrin_ReadRegisterEx(h, 1, ok), 0),
      CALL(WriteRegister, Tevrin_WriteRegister(h, 1, 1), 0),
      CALL(WriteRegisterEx, Tevrin_WriteRegisterEx(h, 1, 1), 0),
      CALL(ReadSromID, Tevrin_ReadSromID(h, 1, ok), 0),
      CALL(WriteSromID, Tevrin_WriteSromID(h, 1, 1), 0),
      CALL(GetIOPort, Tevrin_GetIOPort(h, bytes), 0),
      CALL(SetIOPort, Tevrin_SetIOPort(h, 1), 0),
      CALL(SaveImage, Tevrin_SaveImage(h, "x.bmp", 0), 0),
      CALL(SaveImageW, Tevrin_SaveImageW(h, L"x.bmp", 0), 0),
      CALL(LoadMaskFile, Tevrin_LoadMaskFile(h, "x.msk"), 0),
      CALL(SaveMaskFile, Tevrin_SaveMaskFile(h, "x.msk"), 0),
      CALL(LoadMaskFileW, Tevrin_LoadMaskFileW(h, L"x.msk"), 0),
      CALL(SaveMaskFileW, Tevrin_SaveMaskFileW(h, L"x.msk"), 0),
      CALL(UpdateMaskData, Tevrin_UpdateMaskData(h, 0), 0),
      CALL(SetCameraDlg, Tevrin_SetCameraDlg(h, nullptr), 0),
      CALL(SetAnalogDlg, Tevrin_SetAnalogDlg(h, nullptr), 0),
      CALL(SetImageDlg, Tevrin_SetImageDlg(h, nullptr), 0),
      CALL(LoadConfigFileA, Tevrin_LoadConfigFileA(h, "/dev/null"), 0),
      CALL(LoadConfigFileW, Tevrin_LoadConfigFileW(h, L"/dev/null"), 0),
      CALL(SetConfigFilter, Tevrin_SetConfigFilter(h), 0),
      CALL(GetConfigFilter, Tevrin_GetConfigFilter(h), 0),
      CALL(SendText, Tevrin_SendText(h, "x"), 0),
      CALL(ReceiveText, Tevrin_ReceiveText(h, text, 64), 0),
      CALL(SetFilterValue, Tevrin_SetFilterValue(h, 1, 1), 0),
      CALL(GetFilterValue, Tevrin_GetFilterValue(h, 1, ok), 0),
      CALL(SetChannelGain, Tevrin_SetChannelGain(h, 1, 1), 0),
      CALL(GetChannelGain, Tevrin_GetChannelGain(h, 1, ok), 0),
      CALL(SetChannelOffset, Tevrin_SetChannelOffset(h, 1, 1), 0),
      CALL(GetChannelOffset, Tevrin_GetChannelOffset(h, 1, ok), 0),
      CALL(GetTemperature, Tevrin_GetTemperature(h, ok), 0),
#define NAMED_PAIR(Name) CALL(Set##Name, Tevrin_Set##Name(h, 1), 0), CALL(Get##Name, Tevrin_Get##Name(h, ok), 0)
      NAMED_PAIR(Brightness),
      NAMED_PAIR(Contrast),
      NAMED_PAIR(Hue),
      NAMED_PAIR(Saturation),
      NAMED_PAIR(Sharpness),
      NAMED_PAIR(BayerGainRGB),
      NAMED_PAIR(BayerGainRed),
      NAMED_PAIR(BayerGainGreen),
      NAMED_PAIR(BayerGainBlue),
      NAMED_PAIR(BayerGainAuto),
      NAMED_PAIR(Gamma),
      NAMED_PAIR(BayerMode),
      NAMED_PAIR(GlobalGain),
      NAMED_PAIR(ColorGainRed),
      NAMED_PAIR(ColorGainGreen1),
      NAMED_PAIR(ColorGainGreen2),
      NAMED_PAIR(ColorGainBlue),
      NAMED_PAIR(ExposureTime),
      NAMED_PAIR(GrayMode),
      NAMED_PAIR(GrayGainR),
      NAMED_PAIR(GrayGainG1),
      NAMED_PAIR(GrayGainG2),
      NAMED_PAIR(GrayGainB),
      NAMED_PAIR(GrayOffsetR),
      NAMED_PAIR(GrayOffsetG1),
      NAMED_PAIR(GrayOffsetG2),
      NAMED_PAIR(GrayOffsetB),
      NAMED_PAIR(Peltier),
      NAMED_PAIR(DotFilter),
      NAMED_PAIR(MaskFilter),
#undef NAMED_PAIR
  };
}

#undef CALL

TEST(UnknownHandle, EveryExportReturnsItsUnknownValueAndRecordsNothing) {
  const int live = Tevrin_Initialize(reinterpret_cast<HWND>(0x77));
  ASSERT_NE(live, 0);
  const int released = Tevrin_Initialize(nullptr);
  ASSERT_NE(released, 0);
  ASSERT_EQ(Tevrin_Release(released), 1);
  TakePostedMessages();
  const auto calls = AllCalls();
  EXPECT_EQ(calls.size(), 147u);  // all exports but Initialize and GetDllVersion
  for (int handle : {0, released, live + 1, -1}) {
    if (handle == live) continue;
    for (const Call& call : calls) {
      SCOPED_TRACE(std::string(call.name) + " with handle " + std::to_string(handle));
      int ok = 7;
      EXPECT_EQ(call.run(handle, &ok), call.unknown);
      EXPECT_TRUE(ok == 7 || ok == 0) << "ok must not claim success";
      EXPECT_EQ(call.run(handle, nullptr), call.unknown);
    }
  }
  EXPECT_TRUE(TakePostedMessages().empty());
  EXPECT_EQ(Tevrin_GetLastError(live), 0);
  EXPECT_EQ(Tevrin_Release(live), 1);
}

TEST(UnknownHandle, GettersClearTheirOkFlag) {
  int ok = 1;
  Tevrin_GetBrightness(0, &ok);
  EXPECT_EQ(ok, 0);
  ok = 1;
  EXPECT_EQ(Tevrin_GetExposureTimeEx(0, &ok), 0.0);
  EXPECT_EQ(ok, 0);
  ok = 1;
  Tevrin_GetChannelGain(0, 9, &ok);
  EXPECT_EQ(ok, 0);
}

}  // namespace
