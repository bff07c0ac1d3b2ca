#include "display/X11Display.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi/GdiObjects.h"
#include "gdi/Surface.h"

namespace tevrin::win32::display {

namespace {

// The refresh rate assumed for every screen: pictures go out at most this often.
constexpr auto kFrameInterval = std::chrono::microseconds(16667);
constexpr uint32_t kPositionAndSizeHints = 1 | 2 | 4 | 8;  // USPosition, USSize, PPosition, PSize

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Pictures are 32-bit 0x00RRGGBB words in host order: the server must take
// them as they are.
bool TrueColor32(xcb_connection_t* connection, const xcb_screen_t& screen) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  if (screen.root_depth != 24 || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
  for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats)) {
    if (formats.data->depth == 24) return formats.data->bits_per_pixel == 32;
  }
  return false;
}

uint16_t Side(LONG size) {
  return static_cast<uint16_t>(std::clamp<LONG>(size, 1, 0x7FFF));
}

int16_t Coordinate(LONG value) {
  return static_cast<int16_t>(std::clamp<LONG>(value, -0x8000, 0x7FFF));
}

}  // namespace

std::unique_ptr<X11Display> X11Display::Connect(const char* name) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(name, &screenNumber);
  if (xcb_connection_has_error(connection)) {
    xcb_disconnect(connection);
    return nullptr;
  }
  auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
  const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (!screens.rem || !TrueColor32(connection, *screens.data) || wake < 0) {
    if (wake >= 0) close(wake);
    xcb_disconnect(connection);
    return nullptr;
  }
  const bool sharedMemory = SharedMemoryWorks(connection);
  std::unique_ptr<X11Display> display(new X11Display(connection, *screens.data, sharedMemory, wake));
  display->thread_ = std::thread(&X11Display::Run, display.get());
  return display;
}

X11Display::X11Display(xcb_connection_t* connection, const xcb_screen_t& screen, bool sharedMemory, int wake)
    : connection_(connection),
      root_(screen.root),
      visual_(screen.root_visual),
      screenSize_{screen.width_in_pixels, screen.height_in_pixels},
      sharedMemory_(sharedMemory),
      wake_(wake) {
  if (sharedMemory_) {
    if (const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection_, &xcb_shm_id)) {
      shmCompletion_ = static_cast<uint8_t>(shm->first_event + XCB_SHM_COMPLETION);
    }
  }
  protocols_ = Atom(connection_, "WM_PROTOCOLS");
  deleteWindow_ = Atom(connection_, "WM_DELETE_WINDOW");
  netName_ = Atom(connection_, "_NET_WM_NAME");
  utf8_ = Atom(connection_, "UTF8_STRING");
  context_ = xcb_generate_id(connection_);
  const uint32_t noExposures = 0;
  xcb_create_gc(connection_, context_, root_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  xcb_flush(connection_);
}

X11Display::~X11Display() {
  running_ = false;
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
  if (thread_.joinable()) thread_.join();
  shown_.clear();
  xcb_disconnect(connection_);
  close(wake_);
}

void X11Display::Request(HWND window, unsigned what) {
  if (window == nullptr || !running_) return;
  bool poke;
  {
    std::lock_guard lock(mutex_);
    requests_[window] |= what;
    poke = !woken_;
    woken_ = true;
  }
  if (poke) {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
  }
}

void X11Display::Run() {
  pollfd sources[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {wake_, POLLIN, 0}};
  while (running_) {
    poll(sources, 2, MillisecondsToNextPresent());
    uint64_t count;
    [[maybe_unused]] ssize_t read = ::read(wake_, &count, sizeof count);
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
      HandleEvent(*event);
      std::free(event);
    }
    if (xcb_connection_has_error(connection_)) {
      running_ = false;  // the server went away: windows stay in memory only
      return;
    }
    TakeRequests();
    PresentDue();
    xcb_flush(connection_);
  }
}

void X11Display::TakeRequests() {
  std::unordered_map<HWND, unsigned> requests;
  {
    std::lock_guard lock(mutex_);
    requests.swap(requests_);
    woken_ = false;
  }
  for (auto [window, what] : requests) {
    if (what & kGone) {
      Destroy(window);
      continue;
    }
    if (what & kChanged) Sync(window);
    if (what & kDrawn) {
      if (auto found = shown_.find(window); found != shown_.end()) found->second.pending = true;
    }
  }
}

X11Display::Shown* X11Display::FindShown(xcb_window_t id) {
  auto found = byId_.find(id);
  return found == byId_.end() ? nullptr : &shown_[found->second];
}

void X11Display::HandleEvent(const xcb_generic_event_t& event) {
  const uint8_t type = event.response_type & 0x7F;
  const bool synthetic = event.response_type & 0x80;
  if (type == XCB_EXPOSE) {
    const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
    if (Shown* shown = FindShown(expose.window); shown && expose.count == 0) shown->pending = true;
  } else if (type == XCB_CONFIGURE_NOTIFY) {
    const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
    Shown* shown = FindShown(configure.window);
    if (!shown || shown->placement.parent) return;  // children move only when their owner moves them
    RECT& client = shown->placement.client;
    // Inside a window manager's frame a real event gives the position in the frame, not on the screen.
    const bool moved = synthetic || !shown->reparented;
    const LONG x = moved ? configure.x : client.left, y = moved ? configure.y : client.top;
    const RECT reported{x, y, x + configure.width, y + configure.height};
    if (std::memcmp(&reported, &client, sizeof client) == 0) return;
    client = reported;
    ApplyClientGeometry(byId_[configure.window], x, y, moved, configure.width, configure.height);
  } else if (type == XCB_REPARENT_NOTIFY) {
    const auto& reparent = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
    if (Shown* shown = FindShown(reparent.window)) shown->reparented = reparent.parent != root_;
  } else if (type == XCB_CLIENT_MESSAGE) {
    const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
    if (message.type == protocols_ && message.format == 32 && message.data.data32[0] == deleteWindow_) {
      if (auto found = byId_.find(message.window); found != byId_.end()) PostMessageA(found->second, WM_CLOSE, 0, 0);
    }
  } else if (shmCompletion_ != 0 && type == shmCompletion_) {
    const auto& completion = reinterpret_cast<const xcb_shm_completion_event_t&>(event);
    if (Shown* shown = FindShown(completion.drawable)) shown->awaitingUpload = false;
  }
  // Errors (a window destroyed twice, with its parent) need nothing.
}

void X11Display::Sync(HWND window) {
  WindowPlacement placement;
  if (!ReadPlacement(window, placement)) return;
  xcb_window_t parent = root_;
  if (placement.parent) {
    auto found = shown_.find(placement.parent);
    if (found == shown_.end()) {
      Sync(placement.parent);
      found = shown_.find(placement.parent);
    }
    if (found == shown_.end()) return;  // the parent is gone
    parent = found->second.id;
  }
  Shown& shown = shown_[window];
  const RECT& client = placement.client;
  if (!shown.id) {
    shown.placement = placement;
    Create(window, shown, parent);
  } else if (std::memcmp(&client, &shown.placement.client, sizeof client) != 0) {
    const uint32_t values[] = {static_cast<uint32_t>(Coordinate(client.left)),
                               static_cast<uint32_t>(Coordinate(client.top)), Side(client.right - client.left),
                               Side(client.bottom - client.top)};
    xcb_configure_window(connection_, shown.id,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT,
                         values);
  }
  if (placement.title != shown.placement.title) SetTitle(shown.id, placement.title);
  const bool map = placement.shown && client.right > client.left && client.bottom > client.top;
  if (map != shown.mapped) {
    if (map) {
      xcb_map_window(connection_, shown.id);
    } else {
      xcb_unmap_window(connection_, shown.id);
    }
    shown.mapped = map;
  }
  shown.placement = placement;
}

void X11Display::Create(HWND window, Shown& shown, xcb_window_t parent) {
  const RECT& client = shown.placement.client;
  shown.id = xcb_generate_id(connection_);
  const uint32_t values[] = {0,  // black, as the window's class background
                             XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_create_window(connection_, XCB_COPY_FROM_PARENT, shown.id, parent, Coordinate(client.left),
                    Coordinate(client.top), Side(client.right - client.left), Side(client.bottom - client.top), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, visual_, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  shown.upload = std::make_unique<ImageUpload>(connection_, sharedMemory_, 24);
  byId_[shown.id] = window;
  SetTitle(shown.id, shown.placement.title);
  if (parent != root_) return;
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, shown.id, protocols_, XCB_ATOM_ATOM, 32, 1,
                      &deleteWindow_);
  // WM_NORMAL_HINTS: the place Windows put the window is where it appears.
  uint32_t hints[18] = {kPositionAndSizeHints, static_cast<uint32_t>(client.left), static_cast<uint32_t>(client.top),
                        static_cast<uint32_t>(client.right - client.left),
                        static_cast<uint32_t>(client.bottom - client.top)};
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, shown.id, XCB_ATOM_WM_NORMAL_HINTS,
                      XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
}

void X11Display::SetTitle(xcb_window_t id, const std::string& title) {
  const auto length = static_cast<uint32_t>(title.size());
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, length,
                      title.data());
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, netName_, utf8_, 8, length, title.data());
}

void X11Display::Destroy(HWND window) {
  auto found = shown_.find(window);
  if (found == shown_.end()) return;
  xcb_destroy_window(connection_, found->second.id);
  byId_.erase(found->second.id);
  shown_.erase(found);
}

int X11Display::MillisecondsToNextPresent() const {
  const Clock::time_point now = Clock::now();
  Clock::duration wait = Clock::duration::max();
  for (const auto& [window, shown] : shown_) {
    if (shown.pending && shown.mapped && !shown.awaitingUpload) wait = std::min(wait, shown.next - now);
  }
  if (wait == Clock::duration::max()) return -1;
  return static_cast<int>(std::clamp<int64_t>(
      std::chrono::ceil<std::chrono::milliseconds>(std::max(wait, Clock::duration::zero())).count(), 0, 1000));
}

void X11Display::PresentDue() {
  const Clock::time_point now = Clock::now();
  for (auto& [window, shown] : shown_) {
    if (shown.pending && shown.mapped && !shown.awaitingUpload && now >= shown.next) Present(window, shown);
  }
}

void X11Display::Present(HWND window, Shown& shown) {
  shown.pending = false;
  shown.next = Clock::now() + kFrameInterval;
  SIZE size{}, clip{};
  std::shared_ptr<Surface> surface = WindowSurface(window, size, clip);
  if (!surface) return;
  bool staged;
  {
    std::lock_guard lock(surface->mutex);
    staged = shown.upload->Stage(surface->ViewLocked());
  }
  if (staged) shown.awaitingUpload = shown.upload->Send(shown.id, context_);
}

}  // namespace tevrin::win32::display
