// tevrin record: an AVI recording of the preview. The SDK records on threads
// of its own; this thread only watches its counters and shows a live line.
#include <TevrinSdk_Halden.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "ExitCode.h"
#include "FrameLayout.h"
#include "Interrupt.h"
#include "Session.h"

namespace tevrin::tool {
namespace {

constexpr DWORD kTickMs = 250;
constexpr double kMaxSeconds = 24 * 3600.0;
// The chunk header in front of each frame's pixels.
constexpr double kChunkHeaderBytes = 8;

struct Request {
  CameraChoice camera;
  std::string path;
  double seconds = 0;
};

std::optional<Request> Parse(int argc, char** argv) {
  CameraOptionText camera;
  std::optional<std::string> output, seconds;
  std::vector<std::string> positional;
  if (!ParseArguments(argc, argv,
                      {{"-d", "--device", &camera.device},
                       {"-o", "--output", &output},
                       {"", "--seconds", &seconds},
                       {"", "--mode", &camera.mode},
                       {"", "--wait", &camera.wait}},
                      positional, 0, 0)) {
    return std::nullopt;
  }
  const char* command = argv[0];
  Request request;
  std::optional<CameraChoice> choice = ParseCameraChoice(command, camera);
  if (!choice) return std::nullopt;
  request.camera = *choice;
  if (choice->bits && *choice->bits != 8 && *choice->bits != 16) {
    UsageError(command, "--mode: " + *camera.mode + " is not 8 or 16");
    return std::nullopt;
  }
  if (!output || output->empty()) {
    UsageError(command, "-o FILE.avi is required");
    return std::nullopt;
  }
  request.path = *output;
  if (!seconds) {
    UsageError(command, "--seconds S is required");
    return std::nullopt;
  }
  std::optional<double> value = ParseDouble(command, "--seconds", *seconds);
  if (!value) return std::nullopt;
  // The SDK takes whole milliseconds, at least one.
  if (!(*value >= 0.001 && *value <= kMaxSeconds)) {
    UsageError(command, "--seconds: " + *seconds + " is out of range (0.001 to 86400)");
    return std::nullopt;
  }
  request.seconds = *value;
  return request;
}

std::optional<CameraInfo> ReadInfo(Session& session) {
  CameraInfo info{};
  info.size = sizeof info;
  if (Tevrin_GetCameraInfo(session, &info)) return info;
  session.ClearErrors();
  return std::nullopt;
}

// Watches the recording until its file is finished, showing what reached it.
class Progress {
 public:
  Progress(bool live, double frameBytes) : live_(live), frameBytes_(frameBytes) {}

  // False when the counters cannot be read.
  bool Watch(Session& session) {
    start_ = lastTick_ = GetTickCount();
    for (;;) {
      Sleep(kTickMs);
      if (Interrupted()) Tevrin_StopPreview(session);
      std::optional<CameraInfo> info = ReadInfo(session);
      if (!info) return false;
      info_ = *info;
      if (!info_.recording) return true;
      Show();
    }
  }

  void PrintSummary(const std::string& path, const FrameLayout& layout) const {
    const double seconds = (GetTickCount() - start_) / 1000.0;
    if (live_) std::printf("\n");
    std::printf("camera: %u complete, %u failed, %u overrun\n", info_.framesCompleted, info_.framesFailed,
                info_.framesOverrun);
    std::printf("record: %u frames, %u dropped, %d x %d, %.1f MB in %.1f s to %s\n", info_.framesRecorded,
                info_.framesNotRecorded, layout.width, layout.height, info_.framesRecorded * frameBytes_ / 1e6, seconds,
                path.c_str());
    std::fflush(stdout);
  }

  unsigned Recorded() const { return info_.framesRecorded; }

 private:
  void Show() {
    const DWORD now = GetTickCount();
    const double megabytesPerSecond =
        now > lastTick_ ? (info_.framesRecorded - recordedAtTick_) * frameBytes_ / 1e3 / (now - lastTick_) : 0.0;
    lastTick_ = now;
    recordedAtTick_ = info_.framesRecorded;
    std::printf("%s%6.1f s  recorded %u  dropped %u  %.1f MB/s%s", live_ ? "\r" : "", (now - start_) / 1000.0,
                info_.framesRecorded, info_.framesNotRecorded, megabytesPerSecond, live_ ? "   " : "\n");
    std::fflush(stdout);
  }

  bool live_;
  double frameBytes_;
  CameraInfo info_{};
  DWORD start_ = 0;
  DWORD lastTick_ = 0;
  unsigned recordedAtTick_ = 0;
};

int Run(int argc, char** argv) {
  std::optional<Request> request = Parse(argc, argv);
  if (!request) return kExitUsage;
  // Ctrl-C stops the recording early; the file is finished all the same.
  CatchInterrupt();
  Session session;
  if (int status = session.Open(request->camera); status != kExitOk) return status;
  const FrameLayout layout = CurrentLayout(session);
  session.ClearErrors();
  const int durationMs = static_cast<int>(request->seconds * 1000 + 0.5);
  if (!Tevrin_Record(session, request->path.c_str(), durationMs, 0)) return session.Fail("starting the recording");
  Progress progress(isatty(STDOUT_FILENO) == 1, 3.0 * layout.width * layout.height + kChunkHeaderBytes);
  const bool watched = progress.Watch(session);
  Tevrin_StopPreview(session);
  if (!watched) return session.Fail("reading the recording's counters");
  progress.PrintSummary(request->path, layout);
  // A recording that could not write its file has recorded why.
  if (Tevrin_GetLastError(session) == TEVRIN_ERROR_TEXT_OR_FILE) {
    std::fprintf(stderr, "tevrin: record failed: error %d (%s): the file could not be written in full\n",
                 TEVRIN_ERROR_TEXT_OR_FILE, ErrorName(TEVRIN_ERROR_TEXT_OR_FILE));
    return kExitFailure;
  }
  if (progress.Recorded() == 0) {
    std::fprintf(stderr, "tevrin: record failed: no frame arrived\n");
    return kExitFailure;
  }
  return kExitOk;
}

const CommandRegistration kRegistration{
    {"record", "[-d N] -o FILE.avi --seconds S [--mode 8|16] [--wait MS]",
     "record S seconds of the preview into an uncompressed AVI file, showing frames recorded, frames dropped "
     "and MB/s (Ctrl-C stops early; the file is finished either way)",
     Run}};

}  // namespace
}  // namespace tevrin::tool
