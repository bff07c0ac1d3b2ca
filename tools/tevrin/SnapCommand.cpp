// tevrin snap: one frame on the caller's thread, saved as a still image.
#include <TevrinSdk_Halden.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "ExitCode.h"
#include "FrameLayout.h"
#include "Session.h"

namespace tevrin::tool {
namespace {

struct Format {
  std::string_view name;
  int code;
  std::string_view extension;       // of the default file name, and recognised in -o
  std::string_view otherExtension;  // also recognised in -o
};

constexpr auto kFormats = std::to_array<Format>({
    {"bmp", TEVRIN_FORMAT_BMP, ".bmp", ".bmp"},
    {"raw", TEVRIN_FORMAT_RAW, ".raw", ".raw"},
    {"jpeg", TEVRIN_FORMAT_JPEG_100, ".jpg", ".jpeg"},
    {"png", TEVRIN_FORMAT_PNG, ".png", ".png"},
    {"tiff", TEVRIN_FORMAT_TIFF, ".tif", ".tiff"},
});

const Format* ByName(std::string_view name) {
  for (const Format& format : kFormats) {
    if (format.name == name) return &format;
  }
  return nullptr;
}

const Format* ByExtension(std::string_view path) {
  for (const Format& format : kFormats) {
    if (path.ends_with(format.extension) || path.ends_with(format.otherExtension)) return &format;
  }
  return nullptr;
}

struct Request {
  CameraChoice camera;
  const Format* format = nullptr;
  std::string path;
  std::optional<int> exposureMicroseconds;
  std::optional<int> gain;
};

std::optional<Request> Parse(int argc, char** argv) {
  CameraOptionText camera;
  std::optional<std::string> output, format, exposure, gain;
  std::vector<std::string> positional;
  if (!ParseArguments(argc, argv,
                      {{"-d", "--device", &camera.device},
                       {"-o", "--output", &output},
                       {"", "--format", &format},
                       {"", "--mode", &camera.mode},
                       {"", "--exposure", &exposure},
                       {"", "--gain", &gain}},
                      positional, 0, 0)) {
    return std::nullopt;
  }
  const char* command = argv[0];
  Request request;
  std::optional<CameraChoice> choice = ParseCameraChoice(command, camera);
  if (!choice) return std::nullopt;
  request.camera = *choice;

  request.format = format ? ByName(*format) : output ? ByExtension(*output) : nullptr;
  if (format && !request.format) {
    UsageError(command, "--format: '" + *format + "' is not one of bmp, raw, jpeg, png, tiff");
    return std::nullopt;
  }
  if (output && !request.format) {
    // Writing one format under another's name would mislead whoever opens the file.
    UsageError(command, "cannot tell the format of '" + *output + "' from its name: give --format");
    return std::nullopt;
  }
  if (!request.format) request.format = &kFormats[0];
  request.path = output.value_or("snapshot" + std::string(request.format->extension));

  if (gain && !(request.gain = ParseInt(command, "--gain", *gain))) return std::nullopt;
  if (exposure) {
    std::optional<double> milliseconds = ParseDouble(command, "--exposure", *exposure);
    if (!milliseconds) return std::nullopt;
    if (*milliseconds < 0 || *milliseconds > 2e6) {
      UsageError(command, "--exposure: " + *exposure + " ms is out of range");
      return std::nullopt;
    }
    request.exposureMicroseconds = static_cast<int>(std::lround(*milliseconds * 1000));
  }
  return request;
}

int Run(int argc, char** argv) {
  std::optional<Request> request = Parse(argc, argv);
  if (!request) return kExitUsage;
  Session session;
  if (int status = session.Open(request->camera); status != kExitOk) return status;
  if (request->exposureMicroseconds && !Tevrin_SetRealExposureTime(session, *request->exposureMicroseconds)) {
    return session.Fail("setting the exposure to " + std::to_string(*request->exposureMicroseconds) + " us");
  }
  if (request->gain && !Tevrin_SetGlobalGain(session, *request->gain)) {
    return session.Fail("setting the gain to " + std::to_string(*request->gain));
  }

  FrameLayout layout = CurrentLayout(session);
  std::vector<BYTE> pixels(layout.Size());
  const int topRowFirst = 1;
  if (!Tevrin_SnapShot(session, pixels.data(), static_cast<int>(pixels.size()), topRowFirst)) {
    return session.Fail("snap");
  }
  if (!Tevrin_SaveImage(session, request->path.c_str(), request->format->code)) {
    return session.Fail("saving " + request->path, GetLastError());
  }
  std::printf("saved %d x %d, %d bits per pixel, mean level %.1f, as %.*s to %s\n", layout.width, layout.height,
              layout.bitsPerPixel, MeanLevel(pixels, layout), int(request->format->name.size()),
              request->format->name.data(), request->path.c_str());
  return kExitOk;
}

const CommandRegistration kRegistration{
    {"snap", "[-d N] [-o FILE] [--format bmp|raw|jpeg|png|tiff] [--mode 8|16|24|32|48|64] [--exposure MS] [--gain N]",
     "take one frame and save it (default snapshot.<format>, format from FILE's extension); exposure and gain "
     "are kept as the camera's settings",
     Run}};

}  // namespace
}  // namespace tevrin::tool
