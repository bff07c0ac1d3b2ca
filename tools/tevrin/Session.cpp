#include "Session.h"

#include <TevrinSdk_Halden.h>

#include <cstdio>

#include "ExitCode.h"

namespace tevrin::tool {

const char* ErrorName(int code) {
  switch (code) {
    case TEVRIN_ERROR_NOT_READY:
      return "NotReady";
    case TEVRIN_ERROR_NO_CAMERA:
      return "NoCamera";
    case TEVRIN_ERROR_THREAD_START:
      return "ThreadStart";
    case TEVRIN_ERROR_WINDOW_OR_SIZE:
      return "WindowOrSize";
    case TEVRIN_ERROR_BUFFER:
      return "Buffer";
    case TEVRIN_ERROR_REGISTER:
      return "Register";
    case TEVRIN_ERROR_GEOMETRY:
      return "Geometry";
    case TEVRIN_ERROR_TRANSFER:
      return "Transfer";
    case TEVRIN_ERROR_ARGUMENT:
      return "Argument";
    case TEVRIN_ERROR_UNSUPPORTED:
      return "Unsupported";
    case TEVRIN_ERROR_TEXT_OR_FILE:
      return "TextOrFile";
    case TEVRIN_ERROR_DEVICE_LOST:
      return "DeviceLost";
    case TEVRIN_ERROR_MASK_FILE:
      return "MaskFile";
    default:
      return "unknown";
  }
}

// The system's words for the errors a file operation meets.
std::string SystemReason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_DISK_FULL:
      return "No space left on device";
    case ERROR_DIRECTORY:
      return "Is a directory";
    default:
      return "system error " + std::to_string(error);
  }
}

void DrainErrors(int handle) {
  while (Tevrin_GetLastError(handle) != 0) {
  }
}

// Settings travel with the handle: they are loaded when a camera is selected
// and stored again when the handle is released.
Session::Session() : handle_(Tevrin_Initialize(nullptr)) {}

Session::~Session() {
  if (handle_ != 0) Tevrin_Release(handle_);
}

int Session::Open(const CameraChoice& camera) {
  const int number = camera.device;
  if (handle_ == 0) {
    std::fprintf(stderr, "tevrin: the SDK could not create a camera instance\n");
    return kExitFailure;
  }
  char names[10][256];
  int count = Tevrin_EnumDevice(handle_, names);
  if (count == 0) {
    std::fprintf(stderr, "tevrin: no camera found\n");
    return kExitNoCamera;
  }
  ClearErrors();
  if (Tevrin_SetDeviceNumber(handle_, number)) {
    if (camera.bits && !Tevrin_SetColorMode(handle_, *camera.bits)) {
      return Fail("selecting " + std::to_string(*camera.bits) + "-bit mode");
    }
    if (camera.waitMs && !Tevrin_SetWaitTime(handle_, *camera.waitMs)) return Fail("setting the wait time");
    return kExitOk;
  }
  int code = Tevrin_GetLastError(handle_);
  if (code == TEVRIN_ERROR_NO_CAMERA) {
    std::fprintf(stderr, "tevrin: no camera %d (%d found; see tevrin list)\n", number, count);
    return kExitNoCamera;
  }
  std::fprintf(stderr, "tevrin: opening camera %d failed: error %d (%s)\n", number, code, ErrorName(code));
  return kExitFailure;
}

int Session::Fail(const std::string& what, DWORD systemError) {
  int code = Tevrin_GetLastError(handle_);
  const std::string reason = systemError ? std::string(": ") + SystemReason(systemError) : "";
  if (code == 0) {
    std::fprintf(stderr, "tevrin: %s failed%s\n", what.c_str(), reason.c_str());
  } else {
    std::fprintf(stderr, "tevrin: %s failed: error %d (%s)%s\n", what.c_str(), code, ErrorName(code), reason.c_str());
  }
  ClearErrors();
  return kExitFailure;
}

void Session::ClearErrors() {
  DrainErrors(handle_);
}

}  // namespace tevrin::tool
