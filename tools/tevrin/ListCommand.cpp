// tevrin list: every camera with its device number, name and serial number,
// a line for cameras of products the SDK does not serve, and one for each
// camera present that cannot be opened, with the fix.
#include <TevrinSdk_Halden.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "CameraAccess.h"
#include "Command.h"
#include "ExitCode.h"
#include "OtherProducts.h"
#include "Session.h"

namespace tevrin::tool {
namespace {

constexpr int kMaxDeviceNumbers = 32;  // the device layer's limit
constexpr int kSerialCapacity = 64;

int Run(int argc, char** argv) {
  std::vector<std::string> positional;
  if (!ParseArguments(argc, argv, {}, positional, 0, 0)) return kExitUsage;
  Session session;
  char names[10][256];
  int count = session.Handle() ? Tevrin_EnumDevice(session, names) : 0;
  const std::string others = DescribeOtherProducts(CountOtherProducts());
  const std::vector<std::string> unopenable = DescribeUnopenableCameras();
  auto explainTheRest = [&] {
    if (!others.empty()) std::printf("%s\n", others.c_str());
    for (const auto& line : unopenable) std::printf("%s\n", line.c_str());
  };
  if (count == 0) {
    std::fprintf(stderr, "tevrin: no camera found\n");
    explainTheRest();
    return kExitNoCamera;
  }
  // Names count the cameras found, device numbers the sockets they sit in;
  // the two differ once a camera has been unplugged, so walk the numbers.
  int listed = 0;
  for (int number = 0; number < kMaxDeviceNumbers && listed < count; ++number) {
    char name[256] = {};
    if (!Tevrin_GetDeviceName(session, number, name, sizeof name)) continue;
    ++listed;
    session.ClearErrors();
    char serial[kSerialCapacity] = {};
    if (!Tevrin_SetDeviceNumber(session, number) || !Tevrin_ReadSerialNumberA(session, serial, sizeof serial)) {
      int code = Tevrin_GetLastError(session);
      std::printf("%d  %s  (serial unreadable: error %d %s)\n", number, name, code, ErrorName(code));
      continue;
    }
    std::printf("%d  %s  %s\n", number, name, serial);
  }
  explainTheRest();
  session.ClearErrors();
  return kExitOk;
}

const CommandRegistration kRegistration{{"list", "", "list the cameras: device number, name, serial number", Run}};

}  // namespace
}  // namespace tevrin::tool
