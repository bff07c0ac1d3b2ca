#include "StillHeaders.h"

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tevrin::test {

StillHeader ReadPng(const std::string& path) {
  StillHeader header;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return header;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_read_info(png, info);
    header.readable = true;
    header.width = static_cast<int>(png_get_image_width(png, info));
    header.height = static_cast<int>(png_get_image_height(png, info));
    header.bitsPerSample = png_get_bit_depth(png, info);
    header.samplesPerPixel = png_get_channels(png, info);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return header;
}

StillHeader ReadTiff(const std::string& path) {
  StillHeader header;
  TIFFSetWarningHandler(nullptr);
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (!tiff) return header;
  uint32_t width = 0, height = 0;
  uint16_t bits = 0, samples = 0;
  header.readable =
      TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) && TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) &&
      TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits) && TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  header.width = static_cast<int>(width);
  header.height = static_cast<int>(height);
  header.bitsPerSample = bits;
  header.samplesPerPixel = samples;
  TIFFClose(tiff);
  return header;
}

StillHeader ReadJpeg(const std::string& path) {
  StillHeader header;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return header;
  jpeg_decompress_struct jpeg{};
  jpeg_error_mgr errors{};
  jpeg.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&jpeg);
  jpeg_stdio_src(&jpeg, file);
  if (jpeg_read_header(&jpeg, TRUE) == JPEG_HEADER_OK) {
    header.readable = true;
    header.width = static_cast<int>(jpeg.image_width);
    header.height = static_cast<int>(jpeg.image_height);
    header.bitsPerSample = jpeg.data_precision;
    header.samplesPerPixel = jpeg.num_components;
  }
  jpeg_destroy_decompress(&jpeg);
  std::fclose(file);
  return header;
}

StillHeader ReadBmp(const std::string& path) {
  StillHeader header;
  std::ifstream file(path, std::ios::binary);
  std::vector<unsigned char> bytes(54);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), bytes.size())) return header;
  auto u32 = [&](size_t at) {
    uint32_t value;
    std::memcpy(&value, &bytes[at], 4);
    return value;
  };
  auto u16 = [&](size_t at) {
    uint16_t value;
    std::memcpy(&value, &bytes[at], 2);
    return value;
  };
  header.readable = bytes[0] == 'B' && bytes[1] == 'M' && u32(14) == 40;
  header.width = static_cast<int>(u32(18));
  header.height = static_cast<int>(u32(22));
  header.bmpBitCount = u16(28);
  header.fileSize = static_cast<long>(u32(2));
  if (header.fileSize != static_cast<long>(std::filesystem::file_size(path))) header.readable = false;
  return header;
}

}  // namespace tevrin::test
