#include "display/ImageUpload.h"

#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tevrin::win32::display {

namespace {

constexpr int kLargestSide = 0x7FFF;  // X coordinates are 16-bit signed

bool Sendable(const PixelView& pixels) {
  return pixels.bits && pixels.width > 0 && pixels.height > 0 && pixels.width <= kLargestSide &&
         pixels.height <= kLargestSide;
}

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};

// Makes a segment of `size` bytes the server has attached; false when either side refuses.
bool AttachSegment(xcb_connection_t* connection, size_t size, std::byte*& memory, uint32_t& segment) {
  const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (id < 0) return false;
  void* address = shmat(id, nullptr, 0);
  if (address == reinterpret_cast<void*>(-1)) {
    shmctl(id, IPC_RMID, nullptr);
    return false;
  }
  const uint32_t name = xcb_generate_id(connection);
  std::unique_ptr<xcb_generic_error_t, FreeReply> error(
      xcb_request_check(connection, xcb_shm_attach_checked(connection, name, static_cast<uint32_t>(id), 0)));
  // Marked for removal now: the memory goes once both sides have let go of it.
  shmctl(id, IPC_RMID, nullptr);
  if (error) {
    shmdt(address);
    return false;
  }
  memory = static_cast<std::byte*>(address);
  segment = name;
  return true;
}

}  // namespace

bool SharedMemoryWorks(xcb_connection_t* connection) {
  std::unique_ptr<xcb_shm_query_version_reply_t, FreeReply> version(
      xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr));
  if (!version) return false;
  std::byte* memory = nullptr;
  uint32_t segment = 0;
  if (!AttachSegment(connection, 4096, memory, segment)) return false;
  xcb_shm_detach(connection, segment);
  shmdt(memory);
  return true;
}

ImageUpload::ImageUpload(xcb_connection_t* connection, bool sharedMemory, uint8_t depth)
    : connection_(connection), sharedMemory_(sharedMemory), depth_(depth) {}

ImageUpload::~ImageUpload() {
  Release();
}

void ImageUpload::Release() {
  if (!shared_) return;
  xcb_shm_detach(connection_, segment_);
  shmdt(shared_);
  shared_ = nullptr;
  segment_ = 0;
  capacity_ = 0;
}

bool ImageUpload::StageShared(size_t size) {
  if (size <= capacity_) return true;
  Release();
  if (!AttachSegment(connection_, size, shared_, segment_)) return false;
  capacity_ = size;
  return true;
}

bool ImageUpload::Stage(const PixelView& pixels) {
  if (!Sendable(pixels)) return false;
  const size_t rowBytes = static_cast<size_t>(pixels.width) * 4;
  const size_t size = rowBytes * static_cast<size_t>(pixels.height);
  std::byte* target;
  if (sharedMemory_) {
    if (!StageShared(size)) return false;
    target = shared_;
  } else {
    local_.resize(size);
    target = local_.data();
  }
  for (int y = 0; y < pixels.height; ++y) {
    std::memcpy(target + rowBytes * static_cast<size_t>(y), pixels.Row(y), rowBytes);
  }
  width_ = pixels.width;
  height_ = pixels.height;
  return true;
}

bool ImageUpload::Send(xcb_drawable_t drawable, xcb_gcontext_t context) {
  const auto width = static_cast<uint16_t>(width_), height = static_cast<uint16_t>(height_);
  if (sharedMemory_) {
    xcb_shm_put_image(connection_, drawable, context, width, height, 0, 0, width, height, 0, 0, depth_,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 1, segment_, 0);
    return true;
  }
  // The request's header is 24 bytes; the rest of the server's maximum carries rows.
  const size_t maximum = static_cast<size_t>(xcb_get_maximum_request_length(connection_)) * 4 - 24;
  const size_t rowBytes = static_cast<size_t>(width_) * 4;
  if (rowBytes > maximum) return false;
  const int band = static_cast<int>(std::min<size_t>(maximum / rowBytes, 0xFFFF));
  for (int top = 0; top < height_; top += band) {
    const int rows = std::min(band, height_ - top);
    xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, context, width, static_cast<uint16_t>(rows), 0,
                  static_cast<int16_t>(top), 0, depth_, static_cast<uint32_t>(rowBytes * static_cast<size_t>(rows)),
                  reinterpret_cast<const uint8_t*>(local_.data() + rowBytes * static_cast<size_t>(top)));
  }
  return false;
}

}  // namespace tevrin::win32::display
