#include <csetjmp>
#include <cstdio>
#include <vector>

// jpeglib.h expects size_t and FILE to be declared before it.
#include <jpeglib.h>

#include "files/OutputFile.h"
#include "files/RowConversion.h"
#include "files/StillWriters.h"
#include "files/Trace.h"

namespace tevrin::files {
namespace {

// The library's standard error manager ends the process on a fatal error;
// this one traces the message and returns to the encoder's recovery point.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf recovery;
};

void TraceJpegMessage(j_common_ptr codec, const char* level) {
  char text[JMSG_LENGTH_MAX];
  (*codec->err->format_message)(codec, text);
  TraceCodecMessage(level, "libjpeg", text);
}

[[noreturn]] void ReturnToRecovery(j_common_ptr codec) {
  TraceJpegMessage(codec, "warn");
  std::longjmp(reinterpret_cast<JpegErrors*>(codec->err)->recovery, 1);
}

void TraceWarning(j_common_ptr codec) {
  TraceJpegMessage(codec, "debug");
}

struct JpegJob {
  const StillImage* image;
  int quality;
  int significantBits;
  uint8_t* row;  // one converted scanline
  FILE* file;
};

// A fatal library error leaves this function by longjmp, so it holds only
// objects without destructors; the compress object is new for every file,
// as one reused after a progressive file can corrupt the next.
bool Encode(const JpegJob& job, jpeg_compress_struct& codec, JpegErrors& errors) {
  codec.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = ReturnToRecovery;
  errors.manager.output_message = TraceWarning;
  if (setjmp(errors.recovery)) {
    jpeg_destroy_compress(&codec);
    return false;
  }
  jpeg_create_compress(&codec);
  jpeg_stdio_dest(&codec, job.file);
  const bool colour = job.image->bitCount >= 24;
  codec.image_width = static_cast<JDIMENSION>(job.image->width);
  codec.image_height = static_cast<JDIMENSION>(job.image->height);
  codec.input_components = colour ? 3 : 1;
  codec.in_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
  jpeg_set_defaults(&codec);
  jpeg_set_quality(&codec, job.quality, TRUE);
  jpeg_simple_progression(&codec);
  jpeg_start_compress(&codec, TRUE);
  JSAMPROW rows[1] = {job.row};
  for (int32_t row = 0; row < job.image->height; ++row) {
    ConvertRowToEightBit(*job.image, row, job.significantBits, job.row);
    jpeg_write_scanlines(&codec, rows, 1);
  }
  jpeg_finish_compress(&codec);
  jpeg_destroy_compress(&codec);
  return true;
}

}  // namespace

bool WriteJpeg(const char* path, const StillImage& image, int quality, int significantBits) {
  OutputFile out(path);
  if (!out) return false;
  std::vector<uint8_t> row(EightBitRowSize(image));
  jpeg_compress_struct codec{};
  JpegErrors errors{};
  const JpegJob job{&image, quality, significantBits, row.data(), out.get()};
  return Encode(job, codec, errors) && out.Close();
}

}  // namespace tevrin::files
