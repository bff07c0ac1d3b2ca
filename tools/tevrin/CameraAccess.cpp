#include "CameraAccess.h"

#include <windows.h>

#include "CameraInterfaces.h"

namespace tevrin::tool {

std::vector<std::string> DescribeUnopenableCameras() {
  std::vector<std::string> lines;
  for (const auto& path : CameraInterfacePaths()) {
    // Opened as the SDK's scan opens it.
    HANDLE device = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (device != INVALID_HANDLE_VALUE && device != nullptr) {
      CloseHandle(device);
      continue;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) continue;  // unplugged since it was listed
    std::string line = "camera " + path + " cannot be opened: ";
    if (error == ERROR_ACCESS_DENIED) {
      line += "no permission; install the udev rule 70-tevrin-cameras.rules and plug the camera in again "
              "(README, \"Real cameras\")";
    } else if (error == ERROR_SHARING_VIOLATION) {
      line += "in use by another program or a kernel driver; close that program";
    } else {
      line += "error " + std::to_string(error);
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace tevrin::tool
