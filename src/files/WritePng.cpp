#include <png.h>

#include <vector>

#include "files/OutputFile.h"
#include "files/RowConversion.h"
#include "files/StillWriters.h"
#include "files/Trace.h"

namespace tevrin::files {
namespace {

// libpng calls this and must not get control back; the jump lands at the
// recovery point of Encode. Every save has its own structures, so saves on
// several threads do not meet.
[[noreturn]] void ReturnToRecovery(png_structp png, png_const_charp message) {
  TraceCodecMessage("warn", "libpng error", message);
  png_longjmp(png, 1);
}

void TraceWarning(png_structp, png_const_charp message) {
  TraceCodecMessage("debug", "libpng", message);
}

struct PngHeader {
  int bitDepth;
  int colourType;
};

PngHeader HeaderFor(int bitCount) {
  switch (bitCount) {
    case 8:
      return {8, PNG_COLOR_TYPE_GRAY};
    case 16:
      return {16, PNG_COLOR_TYPE_GRAY};
    case 24:
      return {8, PNG_COLOR_TYPE_RGB};
    case 32:
      return {8, PNG_COLOR_TYPE_RGB_ALPHA};
    case 48:
      return {16, PNG_COLOR_TYPE_RGB};
    default:
      return {16, PNG_COLOR_TYPE_RGB_ALPHA};
  }
}

struct PngJob {
  const StillImage* image;
  SampleLayout layout;
  uint8_t* row;  // one converted row
  FILE* file;
};

// Left by longjmp on a library error: only objects without destructors here.
bool Encode(const PngJob& job) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ReturnToRecovery, TraceWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, job.file);
  const PngHeader header = HeaderFor(job.image->bitCount);
  png_set_IHDR(png, info, static_cast<png_uint_32>(job.image->width), static_cast<png_uint_32>(job.image->height),
               header.bitDepth, header.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t row = 0; row < job.image->height; ++row) {
    ConvertRowToRgbOrder(*job.image, row, job.layout, job.row);
    png_write_row(png, job.row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const char* path, const StillImage& image, int significantBits) {
  OutputFile out(path);
  if (!out) return false;
  std::vector<uint8_t> row(RgbOrderRowSize(image));
  // PNG stores 16-bit samples big-endian; the zero fourth byte of a 32-bit
  // pixel becomes an opaque alpha.
  const SampleLayout layout{significantBits, true, true};
  return Encode({&image, layout, row.data(), out.get()}) && out.Close();
}

}  // namespace tevrin::files
