#include "support/XServer.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace tevrin::test {

namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
Reply<T> Own(T* reply) {
  return Reply<T>(reply, &std::free);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

XServer::XServer() {
  connection_ = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection_)) {
    xcb_disconnect(connection_);
    connection_ = nullptr;
    return;
  }
  screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
}

XServer::~XServer() {
  if (connection_) xcb_disconnect(connection_);
}

int XServer::ScreenWidth() const {
  return screen_->width_in_pixels;
}

int XServer::ScreenHeight() const {
  return screen_->height_in_pixels;
}

uint32_t XServer::Atom(const char* name) {
  auto reply = Own(xcb_intern_atom_reply(
      connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : 0;
}

std::string XServer::Title(xcb_window_t window) {
  auto reply = Own(xcb_get_property_reply(
      connection_, xcb_get_property(connection_, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 1024), nullptr));
  if (!reply) return "";
  return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                     static_cast<size_t>(xcb_get_property_value_length(reply.get())));
}

std::optional<xcb_window_t> XServer::Search(xcb_window_t parent, const std::string& title) {
  auto tree = Own(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, parent), nullptr));
  if (!tree) return std::nullopt;
  const xcb_window_t* children = xcb_query_tree_children(tree.get());
  for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
    if (Title(children[i]) == title) return children[i];
    if (auto found = Search(children[i], title)) return found;
  }
  return std::nullopt;
}

std::optional<xcb_window_t> XServer::FindWindow(const std::string& title) {
  std::optional<xcb_window_t> found;
  WaitUntil([&] { return (found = Search(screen_->root, title)).has_value(); });
  return found;
}

std::optional<xcb_rectangle_t> XServer::Geometry(xcb_window_t window) {
  auto reply = Own(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
  if (!reply) return std::nullopt;
  return xcb_rectangle_t{reply->x, reply->y, reply->width, reply->height};
}

std::vector<uint32_t> XServer::Pixels(xcb_window_t window, int width, int height) {
  auto reply = Own(xcb_get_image_reply(
      connection_,
      xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, static_cast<uint16_t>(width),
                    static_cast<uint16_t>(height), ~0u),
      nullptr));
  if (!reply || xcb_get_image_data_length(reply.get()) != width * height * 4) return {};
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  std::memcpy(pixels.data(), xcb_get_image_data(reply.get()), pixels.size() * 4);
  for (uint32_t& pixel : pixels) pixel &= 0x00FFFFFFu;
  return pixels;
}

void XServer::SendDeleteWindow(xcb_window_t window) {
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = Atom("WM_PROTOCOLS");
  message.data.data32[0] = Atom("WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
  xcb_flush(connection_);
}

void XServer::Resize(xcb_window_t window, int width, int height) {
  const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
  xcb_configure_window(connection_, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  xcb_flush(connection_);
}

}  // namespace tevrin::test
