// The display on an X server, through a connection of its own (no toolkit,
// so an application's GTK or Qt main loop is undisturbed). Callers from any
// thread only leave requests; one thread of the display creates, moves and
// maps the X windows, uploads pictures (the newest wins, at most once per
// refresh) and turns the server's events into window state and messages.
#pragma once

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "display/Display.h"
#include "display/ImageUpload.h"
#include "display/WindowPlacement.h"

namespace tevrin::win32::display {

class X11Display final : public Display {
 public:
  // Null when the server cannot be reached or shows no 24-bit true colour.
  static std::unique_ptr<X11Display> Connect(const char* name);
  ~X11Display() override;

  SIZE ScreenSize() const override { return screenSize_; }
  void WindowChanged(HWND window) override { Request(window, kChanged); }
  void WindowDrawn(HWND window) override { Request(window, kDrawn); }
  void WindowGone(HWND window) override { Request(window, kGone); }

 private:
  using Clock = std::chrono::steady_clock;
  enum : unsigned { kChanged = 1, kDrawn = 2, kGone = 4 };

  // A window as the display thread knows it.
  struct Shown {
    xcb_window_t id = 0;
    bool mapped = false;
    bool reparented = false;        // framed by a window manager
    bool awaitingUpload = false;    // the server still reads the last picture
    bool pending = false;           // a newer picture waits
    Clock::time_point next{};       // not presented again before
    WindowPlacement placement{};    // as last applied
    std::unique_ptr<ImageUpload> upload{};
  };

  X11Display(xcb_connection_t* connection, const xcb_screen_t& screen, bool sharedMemory, int wake);
  void Request(HWND window, unsigned what);
  void Run();
  void TakeRequests();
  void HandleEvent(const xcb_generic_event_t& event);
  void Sync(HWND window);
  void Create(HWND window, Shown& shown, xcb_window_t parent);
  void SetTitle(xcb_window_t id, const std::string& title);
  void Destroy(HWND window);
  void PresentDue();
  void Present(HWND window, Shown& shown);
  int MillisecondsToNextPresent() const;
  Shown* FindShown(xcb_window_t id);

  xcb_connection_t* const connection_;
  const xcb_window_t root_;
  const xcb_visualid_t visual_;
  const SIZE screenSize_;
  const bool sharedMemory_;
  const int wake_;  // an eventfd the callers poke
  uint8_t shmCompletion_ = 0;
  xcb_atom_t protocols_ = 0, deleteWindow_ = 0, netName_ = 0, utf8_ = 0;
  xcb_gcontext_t context_ = 0;

  std::mutex mutex_;  // guards the two below
  std::unordered_map<HWND, unsigned> requests_;
  bool woken_ = false;
  std::atomic<bool> running_{true};

  // The display thread's own.
  std::unordered_map<HWND, Shown> shown_;
  std::unordered_map<xcb_window_t, HWND> byId_;
  std::thread thread_;
};

}  // namespace tevrin::win32::display
