// The format writers behind SaveImageAs. Each writes `path` directly and
// expects an image that passes IsWritable and supported significant bits;
// each returns true only when the whole file was written.
#pragma once

#include "files/StillImage.h"

namespace tevrin::files {

// Bottom-up rows as BMP stores them, so buffer row 0 shows at the top; the
// same bit count as the image, a grey colour table for 8 bits.
bool WriteBmp(const char* path, const StillImage& image);
// The pixel bytes exactly as the image holds them, padding included.
bool WriteRaw(const char* path, const StillImage& image);
// 8-bit grey or RGB, progressive, at `quality` (1..100).
bool WriteJpeg(const char* path, const StillImage& image, int quality, int significantBits);
// Grey, RGB or RGB with opaque alpha, 8 or 16 bits per sample.
bool WritePng(const char* path, const StillImage& image, int significantBits);
// Uncompressed, one strip, grey or R, G, B samples of the image's depth.
bool WriteTiff(const char* path, const StillImage& image, int significantBits);

}  // namespace tevrin::files
