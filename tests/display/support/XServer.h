// The test's own connection to the X server, to see what the server shows
// rather than what the platform keeps in memory.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tevrin::test {

// Polls `done` every few milliseconds for up to `seconds`; its last answer.
bool WaitUntil(const std::function<bool()>& done, double seconds = 10);

class XServer {
 public:
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool Connected() const { return connection_ != nullptr; }
  int ScreenWidth() const;
  int ScreenHeight() const;

  // A window below the root (at any depth) whose WM_NAME is `title`, waiting for it to appear.
  std::optional<xcb_window_t> FindWindow(const std::string& title);
  std::string Title(xcb_window_t window);
  // x, y (relative to its parent), width, height.
  std::optional<xcb_rectangle_t> Geometry(xcb_window_t window);
  // The window's pixels as 0x00RRGGBB, row by row from the top; empty when unreadable.
  std::vector<uint32_t> Pixels(xcb_window_t window, int width, int height);
  // What a window manager sends when the user closes the window.
  void SendDeleteWindow(xcb_window_t window);
  void Resize(xcb_window_t window, int width, int height);

 private:
  std::optional<xcb_window_t> Search(xcb_window_t parent, const std::string& title);
  uint32_t Atom(const char* name);

  xcb_connection_t* connection_ = nullptr;
  const xcb_screen_t* screen_ = nullptr;
};

}  // namespace tevrin::test
