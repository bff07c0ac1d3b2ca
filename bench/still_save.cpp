// Cost of saving one 640 x 512 frame per format, 8-bit and 16-bit grey, through
// the SDK's writers (temporary file, conversion, rename included), next to
// libjpeg and libpng fed the same 8-bit rows directly. Goal: the writers add
// little beyond the codec, and no save comes near a disk stall.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "files/SaveImage.h"

namespace {

constexpr int kWidth = 640, kHeight = 512;

// A smooth scene with sensor-like noise: what the codecs meet in practice.
struct Frame {
  std::vector<uint8_t> memory;
  tevrin::files::StillImage view;

  explicit Frame(int bitCount) {
    view.width = kWidth;
    view.height = kHeight;
    view.bitCount = bitCount;
    view.stride = kWidth * bitCount / 8;
    memory.resize(view.ByteSize());
    view.bits = memory.data();
    std::mt19937 noise(7);
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const int level = 600 + (x * 2 + y * 3) + static_cast<int>(noise() % 64);
        const size_t at = static_cast<size_t>(y) * view.stride + static_cast<size_t>(x) * (bitCount / 8);
        if (bitCount == 8) {
          memory[at] = static_cast<uint8_t>(level >> 4);
        } else {
          memory[at] = static_cast<uint8_t>(level);
          memory[at + 1] = static_cast<uint8_t>(level >> 8);
        }
      }
    }
  }
};

std::string OutputPath(const std::string& name) {
  const auto directory = std::filesystem::temp_directory_path() / "tevrin-bench";
  std::filesystem::create_directories(directory);
  return (directory / name).string();
}

void SaveFrame(benchmark::State& state) {
  const int format = static_cast<int>(state.range(0));
  const Frame frame(static_cast<int>(state.range(1)));
  const std::string path = OutputPath("frame-" + std::to_string(format));
  for (auto _ : state) {
    if (!tevrin::files::SaveImageAs(path.c_str(), frame.view, format, 16)) state.SkipWithError("save failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(frame.view.ByteSize()));
}
BENCHMARK(SaveFrame)
    ->ArgNames({"format", "bits"})
    ->ArgsProduct({{tevrin::files::kStillBmp, tevrin::files::kStillJpegQuality100, tevrin::files::kStillJpegQuality70,
                    tevrin::files::kStillPng, tevrin::files::kStillTiff},
                   {8, 16}})
    ->Unit(benchmark::kMillisecond);

// libjpeg on its own: progressive grey at quality 100, rows from the buffer.
void DirectJpeg(benchmark::State& state) {
  const Frame frame(8);
  const std::string path = OutputPath("direct.jpg");
  for (auto _ : state) {
    FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_compress_struct codec{};
    jpeg_error_mgr errors{};
    codec.err = jpeg_std_error(&errors);
    jpeg_create_compress(&codec);
    jpeg_stdio_dest(&codec, file);
    codec.image_width = kWidth;
    codec.image_height = kHeight;
    codec.input_components = 1;
    codec.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, 100, TRUE);
    jpeg_simple_progression(&codec);
    jpeg_start_compress(&codec, TRUE);
    for (int y = 0; y < kHeight; ++y) {
      JSAMPROW row = const_cast<uint8_t*>(frame.view.Row(y));
      jpeg_write_scanlines(&codec, &row, 1);
    }
    jpeg_finish_compress(&codec);
    jpeg_destroy_compress(&codec);
    std::fclose(file);
  }
}
BENCHMARK(DirectJpeg)->Unit(benchmark::kMillisecond);

// libpng on its own: 8-bit grey, default compression, rows from the buffer.
void DirectPng(benchmark::State& state) {
  const Frame frame(8);
  const std::string path = OutputPath("direct.png");
  for (auto _ : state) {
    FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y) png_write_row(png, frame.view.Row(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
  }
}
BENCHMARK(DirectPng)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
