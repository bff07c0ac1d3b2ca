// Sends a window's 32-bit surface to its X window: through a shared-memory
// segment (MIT-SHM) when the server shares memory with us, else as PutImage
// requests cut to the server's request size.
#pragma once

#include <xcb/xcb.h>

#include <cstddef>
#include <vector>

#include "gdi/PixelCopy.h"

namespace tevrin::win32::display {

// Whether the server can read our shared memory (a local server with MIT-SHM).
bool SharedMemoryWorks(xcb_connection_t* connection);

class ImageUpload {
 public:
  ImageUpload(xcb_connection_t* connection, bool sharedMemory, uint8_t depth);
  ~ImageUpload();
  ImageUpload(const ImageUpload&) = delete;
  ImageUpload& operator=(const ImageUpload&) = delete;

  // Copies `pixels` (under the caller's lock on them), so that sending needs
  // no lock. False when there is nothing to send, it is larger than X allows
  // or memory for it cannot be had.
  bool Stage(const PixelView& pixels);
  // Sends what was staged to the top left of `drawable`. True when the server
  // will answer with an MIT-SHM completion event; until then the next Stage
  // would overwrite what the server still reads.
  bool Send(xcb_drawable_t drawable, xcb_gcontext_t context);

 private:
  bool StageShared(size_t size);
  void Release();

  xcb_connection_t* connection_;
  bool sharedMemory_;
  uint8_t depth_;
  uint32_t segment_ = 0;  // the server's name for the shared segment
  std::byte* shared_ = nullptr;
  size_t capacity_ = 0;
  std::vector<std::byte> local_;  // without shared memory
  int width_ = 0;
  int height_ = 0;
};

}  // namespace tevrin::win32::display
