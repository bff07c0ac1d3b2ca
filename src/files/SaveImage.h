// Saving an output image as a still-image file: the one entry point the
// camera instance calls, under its frame lock, with the mode's output image.
#pragma once

#include "files/StillImage.h"

namespace tevrin::files {

// The format codes of the save export.
enum StillFormat : int {
  kStillBmp = 0,
  kStillRaw = 1,
  kStillJpegQuality100 = 2,
  kStillJpegQuality70 = 3,
  kStillJpegQuality20 = 4,
  kStillPng = 5,
  kStillTiff = 6,
};

// Writes `image` to `path` in the format `formatCode`, with 16-bit samples
// carrying `significantBits` (10, 12 or 16) significant bits. The file is
// written under a temporary name in the same directory and renamed over
// `path` once complete, so on failure `path` keeps its old content or does
// not exist. False, and no file, for an unknown format code, an unusable
// image or path, unsupported significant bits, or any write or codec error.
// Safe to call from several threads at once, also for the same path.
bool SaveImageAs(const char* path, const StillImage& image, int formatCode, int significantBits) noexcept;

}  // namespace tevrin::files
