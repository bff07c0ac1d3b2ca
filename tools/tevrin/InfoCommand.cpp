// tevrin info [-d N]: what the SDK tells about one camera.
#include <TevrinSdk_Halden.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "ExitCode.h"
#include "Session.h"

namespace tevrin::tool {
namespace {

constexpr int kFpgaVersionLow = 0x10;  // board registers holding the FPGA version word
constexpr int kFpgaVersionHigh = 0x11;

void Line(const char* label, const std::string& value) {
  std::printf("%-18s %s\n", label, value.c_str());
}

std::string Format(const char* format, auto... values) {
  char text[128];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

// "error 11 (Unsupported)" for a getter that failed.
std::string Unavailable(int handle) {
  int code = Tevrin_GetLastError(handle);
  return Format("unavailable: error %d (%s)", code, ErrorName(code));
}

std::string FpgaVersion(int handle) {
  int lowOk = 0;
  int highOk = 0;
  int low = Tevrin_Fpga_ReadRegister(handle, kFpgaVersionLow, &lowOk);
  int high = Tevrin_Fpga_ReadRegister(handle, kFpgaVersionHigh, &highOk);
  if (!lowOk || !highOk) return Unavailable(handle);
  return Format("0x%04X", (high & 0xFF) << 8 | (low & 0xFF));
}

std::string Temperature(int handle) {
  int ok = 0;
  double celsius = Tevrin_GetTemperatureEx(handle, &ok);
  return ok ? Format("%.1f C", celsius) : Unavailable(handle);
}

std::string Exposure(int handle) {
  int ok = 0;
  int microseconds = Tevrin_GetRealExposureTime(handle, &ok);
  return ok ? Format("%d us", microseconds) : Unavailable(handle);
}

std::string GlobalGain(int handle) {
  int ok = 0;
  int gain = Tevrin_GetGlobalGain(handle, &ok);
  return ok ? Format("%d", gain) : Unavailable(handle);
}

int Run(int argc, char** argv) {
  std::optional<std::string> device;
  std::vector<std::string> positional;
  if (!ParseArguments(argc, argv, {{"-d", "--device", &device}}, positional, 0, 0)) return kExitUsage;
  std::optional<int> number = ParseDeviceNumber(argv[0], device);
  if (!number) return kExitUsage;
  Session session;
  if (int status = session.Open({*number, std::nullopt, std::nullopt}); status != kExitOk) return status;

  CameraInfo info{};
  info.size = sizeof info;
  if (!Tevrin_GetCameraInfo(session, &info)) return session.Fail("reading the camera information");
  char name[256] = {};
  char serial[64] = {};
  Tevrin_GetDeviceName(session, *number, name, sizeof name);
  if (!Tevrin_ReadSerialNumberA(session, serial, sizeof serial)) return session.Fail("reading the serial number");

  Line("camera", Format("%d (%s)", *number, name));
  Line("serial number", serial);
  Line("sensor", Format("%d x %d pixels", info.maxWidth, info.maxHeight));
  Line("image window", Format("%d x %d", Tevrin_Width(session), Tevrin_Height(session)));
  Line("colour mode", Format("%d bits per pixel", Tevrin_GetColorMode(session)));
  Line("exposure range", Format("%d..%d us", info.exposureMin * 100, info.exposureMax * 100));
  if (info.exposureSecondsMax > 0) {
    Line("fine exposure", Format("%.6g..%.6g s", info.exposureSecondsMin, info.exposureSecondsMax));
  }
  Line("exposure", Exposure(session));
  Line("global gain range", Format("%d..%d", info.globalGainMin, info.globalGainMax));
  Line("global gain", GlobalGain(session));
  Line("colour gain range", Format("%d..%d", info.colorGainMin, info.colorGainMax));
  Line("temperature", Temperature(session));
  Line("FPGA version", FpgaVersion(session));
  Line("library version", Format("0x%08X", static_cast<unsigned>(Tevrin_GetDllVersion())));
  return kExitOk;
}

const CommandRegistration kRegistration{
    {"info", "[-d N]", "camera N's sensor limits, settings, temperature, FPGA and library versions", Run}};

}  // namespace
}  // namespace tevrin::tool
