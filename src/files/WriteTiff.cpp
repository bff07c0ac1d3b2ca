#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "files/RowConversion.h"
#include "files/StillWriters.h"
#include "files/Trace.h"

namespace tevrin::files {
namespace {

// Handlers of this file only: libtiff's process-wide handlers would print to
// standard error and belong to the application.
template <const char* kLevel>
int TraceMessage(TIFF*, void*, const char* module, const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof(text), format, arguments);
  TraceCodecMessage(kLevel, module ? module : "libtiff", text);
  return 1;
}
constexpr char kWarn[] = "warn";
constexpr char kDebug[] = "debug";

TIFF* OpenForWriting(const char* path) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, TraceMessage<kWarn>, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options, TraceMessage<kDebug>, nullptr);
  TIFF* tiff = TIFFOpenExt(path, "w", options);
  TIFFOpenOptionsFree(options);
  return tiff;
}

void SetTags(TIFF* tiff, const StillImage& image) {
  const bool colour = image.bitCount >= 24;
  const int samples = image.bitCount == 32 || image.bitCount == 64 ? 4 : colour ? 3 : 1;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.height));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(image.bitCount / samples));
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(samples));
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, colour ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(image.height));
  if (samples == 4) {
    // The fourth sample is padding, not alpha; saying so keeps readers from
    // taking the zero byte of 32-bit pixels as full transparency.
    const uint16_t extra[1] = {EXTRASAMPLE_UNSPECIFIED};
    TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
}

// Rows go out one at a time into the single strip, packed without the
// image's row padding as TIFF readers expect.
bool WriteRows(TIFF* tiff, const StillImage& image, int significantBits) {
  std::vector<uint8_t> row(RgbOrderRowSize(image));
  const SampleLayout layout{significantBits, false, false};
  for (int32_t y = 0; y < image.height; ++y) {
    ConvertRowToRgbOrder(image, y, layout, row.data());
    if (TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) != 1) return false;
  }
  return TIFFFlush(tiff) == 1;
}

}  // namespace

bool WriteTiff(const char* path, const StillImage& image, int significantBits) {
  TIFF* tiff = OpenForWriting(path);
  if (!tiff) return false;
  SetTags(tiff, image);
  const bool written = WriteRows(tiff, image, significantBits);
  TIFFClose(tiff);
  return written;
}

}  // namespace tevrin::files
