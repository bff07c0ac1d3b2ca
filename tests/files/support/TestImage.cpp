#include "support/TestImage.h"

#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <jpeglib.h>

namespace tevrin::test {

namespace fs = std::filesystem;

uint16_t TestImage::Stored(int x, int y, int channel) const {
  const uint8_t* pixel = view.Row(y) + static_cast<size_t>(x) * view.BytesPerPixel();
  if (view.bitCount == 8 || view.bitCount == 24 || view.bitCount == 32) return pixel[channel];
  return static_cast<uint16_t>(pixel[2 * channel] | pixel[2 * channel + 1] << 8);
}

TestImage MakeImage(int width, int height, int bitCount, const SampleAt& sample) {
  TestImage image;
  image.view.width = width;
  image.view.height = height;
  image.view.bitCount = bitCount;
  image.view.stride = static_cast<int32_t>((image.view.RowBytes() + 3) & ~size_t{3});
  image.memory.assign(image.view.ByteSize(), 0xAB);
  image.view.bits = image.memory.data();
  const bool words = bitCount == 16 || bitCount >= 48;
  for (int y = 0; y < height; ++y) {
    uint8_t* out = image.memory.data() + static_cast<size_t>(y) * image.view.stride;
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < image.Channels(); ++c) {
        const uint16_t value = sample(x, y, c);
        if (!words) {
          *out++ = static_cast<uint8_t>(value);
          continue;
        }
        *out++ = static_cast<uint8_t>(value);
        *out++ = static_cast<uint8_t>(value >> 8);
      }
    }
  }
  return image;
}

TestImage MakePatternImage(int width, int height, int bitCount) {
  const bool words = bitCount == 16 || bitCount >= 48;
  const bool fourth = bitCount == 32 || bitCount == 64;
  return MakeImage(width, height, bitCount, [=](int x, int y, int c) -> uint16_t {
    if (fourth && c == 3) return 0;
    const int value = x * 37 + y * 101 + c * 997;
    return static_cast<uint16_t>(words ? value & 0x0FFF : value & 0xFF);
  });
}

namespace {

struct JpegFailure {
  jpeg_error_mgr manager;
  std::jmp_buf recovery;
};

[[noreturn]] void FailJpeg(j_common_ptr codec) {
  std::longjmp(reinterpret_cast<JpegFailure*>(codec->err)->recovery, 1);
}

bool DecodeJpeg(FILE* file, JpegFile& result, jpeg_decompress_struct& codec, JpegFailure& failure) {
  codec.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = FailJpeg;
  if (setjmp(failure.recovery)) {
    jpeg_destroy_decompress(&codec);
    return false;
  }
  jpeg_create_decompress(&codec);
  jpeg_stdio_src(&codec, file);
  jpeg_read_header(&codec, TRUE);
  result.progressive = codec.progressive_mode;
  result.colourSpace = codec.jpeg_color_space;
  jpeg_start_decompress(&codec);
  result.width = static_cast<int>(codec.output_width);
  result.height = static_cast<int>(codec.output_height);
  result.channels = codec.output_components;
  result.bitDepth = 8;
  result.samples.resize(static_cast<size_t>(result.width) * result.height * result.channels);
  std::vector<JSAMPLE> row(static_cast<size_t>(result.width) * result.channels);
  JSAMPROW rows[1] = {row.data()};
  while (codec.output_scanline < codec.output_height) {
    const size_t y = codec.output_scanline;
    jpeg_read_scanlines(&codec, rows, 1);
    std::copy(row.begin(), row.end(), result.samples.begin() + static_cast<ptrdiff_t>(y * row.size()));
  }
  jpeg_finish_decompress(&codec);
  jpeg_destroy_decompress(&codec);
  return true;
}

bool DecodePng(FILE* file, PngFile& result) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_init_io(png, file);
  png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  result.width = static_cast<int>(png_get_image_width(png, info));
  result.height = static_cast<int>(png_get_image_height(png, info));
  result.channels = png_get_channels(png, info);
  result.bitDepth = png_get_bit_depth(png, info);
  result.colourType = png_get_color_type(png, info);
  png_bytepp rows = png_get_rows(png, info);
  const size_t perRow = static_cast<size_t>(result.width) * result.channels;
  result.samples.resize(perRow * result.height);
  for (int y = 0; y < result.height; ++y) {
    for (size_t i = 0; i < perRow; ++i) {
      result.samples[y * perRow + i] =
          result.bitDepth == 16 ? static_cast<uint16_t>(rows[y][2 * i] << 8 | rows[y][2 * i + 1]) : rows[y][i];
    }
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

}  // namespace

JpegFile ReadJpeg(const std::string& path) {
  JpegFile result;
  FILE* file = std::fopen(path.c_str(), "rb");
  EXPECT_NE(file, nullptr) << path;
  if (!file) return result;
  jpeg_decompress_struct codec{};
  JpegFailure failure{};
  EXPECT_TRUE(DecodeJpeg(file, result, codec, failure)) << path;
  std::fclose(file);
  return result;
}

PngFile ReadPng(const std::string& path) {
  PngFile result;
  FILE* file = std::fopen(path.c_str(), "rb");
  EXPECT_NE(file, nullptr) << path;
  if (!file) return result;
  EXPECT_TRUE(DecodePng(file, result)) << path;
  std::fclose(file);
  return result;
}

TiffFile ReadTiff(const std::string& path) {
  TiffFile result;
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  EXPECT_NE(tiff, nullptr) << path;
  if (!tiff) return result;
  uint32_t width = 0, height = 0;
  uint16_t bits = 0, samples = 0, photometric = 0, compression = 0, planar = 0, extraCount = 0;
  uint16_t* extra = nullptr;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
  TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetField(tiff, TIFFTAG_COMPRESSION, &compression);
  TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &planar);
  if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extraCount == 1) result.extraSamples = extra[0];
  result.width = static_cast<int>(width);
  result.height = static_cast<int>(height);
  result.channels = samples;
  result.bitDepth = bits;
  result.photometric = photometric;
  result.compression = compression;
  result.planar = planar;
  result.strips = static_cast<int>(TIFFNumberOfStrips(tiff));
  std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tiff)));
  const size_t perRow = static_cast<size_t>(width) * samples;
  result.samples.resize(perRow * height);
  for (uint32_t y = 0; y < height; ++y) {
    EXPECT_EQ(TIFFReadScanline(tiff, row.data(), y, 0), 1);
    for (size_t i = 0; i < perRow; ++i) {
      uint16_t value = row[i];
      if (bits == 16) std::memcpy(&value, &row[2 * i], 2);
      result.samples[y * perRow + i] = value;
    }
  }
  TIFFClose(tiff);
  return result;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t LittleEndian32(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint32_t>(LittleEndian16(bytes, offset) | LittleEndian16(bytes, offset + 2) << 16);
}

uint16_t LittleEndian16(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

std::string Numbered(std::string prefix, int number, const char* suffix) {
  prefix += std::to_string(number);
  prefix += suffix;
  return prefix;
}

std::string FreshDirectory(const std::string& name) {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  const fs::path directory = fs::path(scratch ? scratch : fs::temp_directory_path().string()) / name;
  fs::remove_all(directory);
  fs::create_directories(directory);
  return directory.string();
}

std::vector<std::string> DirectoryEntries(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tevrin::test

namespace tevrin::test {

void ExpectRgbOrderPixels(const Decoded& file, const TestImage& image, int significantBits, uint16_t fourth) {
  ASSERT_EQ(file.width, image.view.width);
  ASSERT_EQ(file.height, image.view.height);
  ASSERT_EQ(file.channels, image.Channels());
  const bool words = image.view.bitCount == 16 || image.view.bitCount >= 48;
  const int shift = words ? 16 - significantBits : 0;
  int mismatches = 0;
  for (int y = 0; y < file.height; ++y) {
    for (int x = 0; x < file.width; ++x) {
      for (int c = 0; c < file.channels && mismatches < 10; ++c) {
        const int storedChannel = file.channels == 1 || c == 3 ? c : 2 - c;
        const uint16_t expected = c == 3 ? fourth : static_cast<uint16_t>(image.Stored(x, y, storedChannel) << shift);
        if (file.At(x, y, c) == expected) continue;
        ++mismatches;
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") channel " << c << ": " << file.At(x, y, c) << " instead of "
                      << expected;
      }
    }
  }
}

}  // namespace tevrin::test
