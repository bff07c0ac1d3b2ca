// tevrin stream: callback preview. The SDK's thread posts a message per frame
// to a window of ours; this thread pumps the messages, counts the frames and
// shows a live line.
#include <TevrinSdk_Halden.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "DropCounter.h"
#include "ExitCode.h"
#include "FrameLayout.h"
#include "Interrupt.h"
#include "MessageWindow.h"
#include "Session.h"

namespace tevrin::tool {
namespace {

constexpr UINT kTick = WM_APP + 100;         // from the ticker; clear of the SDK's messages
struct Request {
  CameraChoice camera;
  double seconds = 5;
};

std::optional<Request> Parse(int argc, char** argv) {
  CameraOptionText camera;
  std::optional<std::string> seconds;
  std::vector<std::string> positional;
  if (!ParseArguments(argc, argv,
                      {{"-d", "--device", &camera.device},
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
  if (seconds) {
    std::optional<double> value = ParseSeconds(command, *seconds);
    if (!value) return std::nullopt;
    request.seconds = *value;
  }
  return request;
}

class Stream {
 public:
  Stream(Session& session, bool live) : session_(session), live_(live), layout_(CurrentLayout(session)) {
    pixels_.resize(layout_.Size());
  }

  // Pumps messages until `seconds` have passed (0: until interrupted), the
  // camera is lost or the pump fails. Returns kExitOk or the failure's status.
  int Run(HWND window, double seconds) {
    start_ = lastTick_ = GetTickCount();  // before the ticker, so no tick comes early
    Ticker ticker(window, kTick, live_ ? 250 : 1000);
    if (!ticker.Running()) {
      std::fprintf(stderr, "tevrin: stream failed: cannot start the ticker thread\n");
      return kExitFailure;
    }
    MSG message;
    for (;;) {
      if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
        std::fprintf(stderr, "tevrin: stream failed: GetMessageA failed (error %lu)\n",
                     static_cast<unsigned long>(GetLastError()));
        return kExitFailure;
      }
      if (message.hwnd == window && message.message == TEVRIN_MSG_FRAME) {
        if (int status = OnFrame(message); status != kExitOk) return status;
      } else if (message.hwnd == window && message.message == kTick) {
        if (Interrupted() || (seconds > 0 && Elapsed() >= seconds * 1000)) return kExitOk;
        ShowProgress();
      } else {
        DispatchMessageA(&message);
      }
    }
  }

  void PrintSummary() {
    FetchMean();
    DWORD elapsed = Elapsed();
    if (live_) std::printf("\n");
    PrintCameraStatistics();
    std::string dropped;
    if (std::optional<long> count = drops_.Dropped()) dropped = ", " + std::to_string(*count) + " dropped";
    std::string failed = failed_ ? ", " + std::to_string(failed_) + " failed" : "";
    std::printf("stream: %ld frames in %.1f s, %.1f fps%s%s, %d x %d at %d bits, last mean level %.1f\n", frames_,
                elapsed / 1000.0, elapsed ? frames_ * 1000.0 / elapsed : 0.0, dropped.c_str(), failed.c_str(),
                layout_.width, layout_.height, layout_.bitsPerPixel, mean_);
    std::fflush(stdout);
  }

  long Frames() const { return frames_; }

  // What the camera's transfer saw, so that a lost frame can be placed:
  // failed in the transfer, overwritten before the SDK took it, or later.
  void PrintCameraStatistics() {
    CameraInfo info{};
    info.size = sizeof info;
    if (!Tevrin_GetCameraInfo(session_, &info)) {
      session_.ClearErrors();
      return;
    }
    static const char* const kStatusNames[] = {"none",    "complete",  "short transfer", "time-out",
                                               "aborted", "unplugged", "header failed",  "transfer failed"};
    const int status = info.newestFrameStatus;
    std::printf("camera: %u complete, %u failed (%u timed out), %u overrun; newest frame %s\n", info.framesCompleted,
                info.framesFailed, info.frameTimeouts, info.framesOverrun,
                status >= 0 && status < 8 ? kStatusNames[status] : "unknown");
  }

 private:
  // wParam is the address of the SDK's frame block, which its thread rewrites
  // for the next frame while we read; the frame itself is fetched under the
  // SDK's lock with Tevrin_GetImage when it is wanted.
  int OnFrame(const MSG& message) {
    if (message.wParam != 0) {
      ++frames_;
      drops_.Sample(session_);
      return kExitOk;
    }
    if (message.lParam == TEVRIN_ERROR_DEVICE_LOST) {
      PrintSummary();
      std::fprintf(stderr, "tevrin: stream failed: error %d (%s)\n", TEVRIN_ERROR_DEVICE_LOST,
                   ErrorName(TEVRIN_ERROR_DEVICE_LOST));
      return kExitFailure;
    }
    ++failed_;  // 8: a frame that did not arrive whole; 5 cannot happen without a buffer
    return kExitOk;
  }

  void FetchMean() {
    if (frames_ > 0 && Tevrin_GetImage(session_, pixels_.data(), static_cast<int>(pixels_.size()), 1)) {
      mean_ = MeanLevel(pixels_, layout_);
    }
    session_.ClearErrors();
  }

  void ShowProgress() {
    DWORD now = GetTickCount();
    double fps = now > lastTick_ ? (frames_ - framesAtLastTick_) * 1000.0 / (now - lastTick_) : 0.0;
    lastTick_ = now;
    framesAtLastTick_ = frames_;
    FetchMean();
    std::string dropped;
    if (std::optional<long> count = drops_.Dropped()) dropped = "  dropped " + std::to_string(*count);
    std::printf("%s%6.1f s  frames %ld  fps %.1f%s  mean %.1f%s", live_ ? "\r" : "", Elapsed() / 1000.0, frames_, fps,
                dropped.c_str(), mean_, live_ ? "   " : "\n");
    std::fflush(stdout);
  }

  DWORD Elapsed() const { return GetTickCount() - start_; }

  Session& session_;
  bool live_;
  FrameLayout layout_;
  std::vector<BYTE> pixels_;
  DropCounter drops_;
  long frames_ = 0;
  long failed_ = 0;
  double mean_ = 0;
  DWORD start_ = 0;
  DWORD lastTick_ = 0;
  long framesAtLastTick_ = 0;
};

int Run(int argc, char** argv) {
  std::optional<Request> request = Parse(argc, argv);
  if (!request) return kExitUsage;
  // Ctrl-C ends the stream at the next tick, with the summary and the
  // camera's settings saved.
  CatchInterrupt();
  Session session;
  if (int status = session.Open(request->camera); status != kExitOk) return status;
  MessageWindow window;
  if (!window.Handle()) {
    std::fprintf(stderr, "tevrin: stream failed: cannot create a message window (error %lu)\n",
                 static_cast<unsigned long>(GetLastError()));
    return kExitFailure;
  }
  Stream stream(session, isatty(STDOUT_FILENO) == 1);
  // No buffer: frames are fetched with Tevrin_GetImage, under the SDK's lock.
  if (!Tevrin_CallBackPreview(session, window.Handle(), nullptr, 0, 1)) return session.Fail("starting the stream");
  int status = stream.Run(window.Handle(), request->seconds);
  Tevrin_StopPreview(session);
  if (status != kExitOk) return status;
  stream.PrintSummary();
  if (stream.Frames() == 0) {
    std::fprintf(stderr, "tevrin: stream failed: no frame arrived\n");
    return kExitFailure;
  }
  return kExitOk;
}

const CommandRegistration kRegistration{
    {"stream", "[-d N] [--seconds S] [--mode 8|16|24|32|48|64] [--wait MS]",
     "run the callback preview for S seconds (default 5, 0 until Ctrl-C), showing frames, frames per second, "
     "frames dropped and the mean level",
     Run}};

}  // namespace
}  // namespace tevrin::tool
