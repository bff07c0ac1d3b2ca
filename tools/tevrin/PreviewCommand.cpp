// tevrin preview: the SDK's own preview window on the desktop, its title
// showing the frame rate and the frames dropped, until the window is closed,
// the time is up or Ctrl-C. Frame notifications come to a message window of
// ours; the preview window belongs to this thread too, so its WM_CLOSE from
// the window manager arrives through the same message loop.
#include <TevrinSdk_Halden.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "Command.h"
#include "DropCounter.h"
#include "ExitCode.h"
#include "Interrupt.h"
#include "MessageWindow.h"
#include "Session.h"

namespace tevrin::tool {
namespace {

constexpr UINT kTick = WM_APP + 101;  // from the ticker; clear of the SDK's messages
constexpr DWORD kTickMs = 500;
constexpr char kPreviewTitle[] = "Active Window";  // the SDK's name for its top-level preview window

struct Request {
  CameraChoice camera;
  double seconds = 0;  // until the window is closed
};

std::optional<Request> Parse(int argc, char** argv) {
  CameraOptionText camera;
  std::optional<std::string> seconds;
  std::vector<std::string> positional;
  if (!ParseArguments(argc, argv,
                      {{"-d", "--device", &camera.device}, {"", "--seconds", &seconds}, {"", "--mode", &camera.mode}},
                      positional, 0, 0)) {
    return std::nullopt;
  }
  Request request;
  std::optional<CameraChoice> choice = ParseCameraChoice(argv[0], camera);
  if (!choice) return std::nullopt;
  request.camera = *choice;
  if (seconds) {
    std::optional<double> value = ParseSeconds(argv[0], *seconds);
    if (!value) return std::nullopt;
    request.seconds = *value;
  }
  return request;
}

class Preview {
 public:
  Preview(Session& session, HWND window) : session_(session), window_(window) {}

  // Pumps messages until the preview window is gone, `seconds` have passed
  // (0: no limit) or Ctrl-C. Returns kExitOk or the failure's status.
  int Run(HWND listener, double seconds) {
    start_ = lastTick_ = GetTickCount();
    Ticker ticker(listener, kTick, kTickMs);
    if (!ticker.Running()) {
      std::fprintf(stderr, "tevrin: preview failed: cannot start the ticker thread\n");
      return kExitFailure;
    }
    MSG message;
    while (IsWindow(window_)) {
      if (GetMessageA(&message, nullptr, 0, 0) <= 0) {
        std::fprintf(stderr, "tevrin: preview failed: GetMessageA failed (error %lu)\n",
                     static_cast<unsigned long>(GetLastError()));
        return kExitFailure;
      }
      if (message.hwnd == listener && message.message == TEVRIN_MSG_FRAME) {
        if (message.wParam != 0) {
          ++frames_;
          drops_.Sample(session_);
        } else if (message.lParam == TEVRIN_ERROR_DEVICE_LOST) {
          std::fprintf(stderr, "tevrin: preview failed: error %d (%s)\n", TEVRIN_ERROR_DEVICE_LOST,
                       ErrorName(TEVRIN_ERROR_DEVICE_LOST));
          return kExitFailure;
        }
      } else if (message.hwnd == listener && message.message == kTick) {
        if (Interrupted() || (seconds > 0 && Elapsed() >= seconds * 1000)) return kExitOk;
        ShowRate();
      } else {
        DispatchMessageA(&message);
      }
    }
    return kExitOk;
  }

  void PrintSummary() const {
    const DWORD elapsed = Elapsed();
    std::string dropped;
    if (std::optional<long> count = drops_.Dropped()) dropped = ", " + std::to_string(*count) + " dropped";
    std::printf("preview: %ld frames in %.1f s, %.1f fps%s\n", frames_, elapsed / 1000.0,
                elapsed ? frames_ * 1000.0 / elapsed : 0.0, dropped.c_str());
    std::fflush(stdout);
  }

 private:
  void ShowRate() {
    const DWORD now = GetTickCount();
    const double fps = now > lastTick_ ? (frames_ - framesAtLastTick_) * 1000.0 / (now - lastTick_) : 0.0;
    lastTick_ = now;
    framesAtLastTick_ = frames_;
    std::string dropped;
    if (std::optional<long> count = drops_.Dropped()) dropped = ", " + std::to_string(*count) + " dropped";
    char title[128];
    std::snprintf(title, sizeof title, "tevrin preview - %.1f fps%s", fps, dropped.c_str());
    SetWindowTextA(window_, title);
  }

  DWORD Elapsed() const { return GetTickCount() - start_; }

  Session& session_;
  HWND window_;
  DropCounter drops_;
  long frames_ = 0;
  DWORD start_ = 0;
  DWORD lastTick_ = 0;
  long framesAtLastTick_ = 0;
};

int Run(int argc, char** argv) {
  std::optional<Request> request = Parse(argc, argv);
  if (!request) return kExitUsage;
  if (GetSystemMetrics(SM_CMONITORS) == 0) {
    std::fprintf(stderr,
                 "tevrin: preview failed: no display is available (DISPLAY is not set, or its X server cannot be "
                 "reached)\n");
    return kExitFailure;
  }
  CatchInterrupt();
  Session session;
  if (int status = session.Open(request->camera); status != kExitOk) return status;
  MessageWindow listener;
  if (!listener.Handle()) {
    std::fprintf(stderr, "tevrin: preview failed: cannot create a message window (error %lu)\n",
                 static_cast<unsigned long>(GetLastError()));
    return kExitFailure;
  }
  // No buffer: the frames are only counted; the SDK draws each into its window.
  if (!Tevrin_CallBackPreview(session, listener.Handle(), nullptr, 0, 1)) return session.Fail("starting the preview");
  Preview preview(session, FindWindowA(nullptr, kPreviewTitle));
  int status = preview.Run(listener.Handle(), request->seconds);
  Tevrin_StopPreview(session);
  if (status != kExitOk) return status;
  preview.PrintSummary();
  return kExitOk;
}

const CommandRegistration kRegistration{
    {"preview", "[-d N] [--mode 8|16|24|32|48|64] [--seconds S]",
     "show the live preview window on the desktop, frame rate and frames dropped in its title, until it is closed "
     "or S seconds have passed",
     Run}};

}  // namespace
}  // namespace tevrin::tool
