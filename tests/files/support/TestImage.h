// Pixel buffers laid out as the pipeline holds them (row 0 on top, 4-byte
// rows, B, G, R order, little-endian words) and independent readers of the
// files the writers produce.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "files/StillImage.h"

namespace tevrin::test {

// Channel c of pixel (x, y) as stored: 0 = B, 1 = G, 2 = R, 3 = the fourth.
using SampleAt = std::function<uint16_t(int x, int y, int channel)>;

struct TestImage {
  std::vector<uint8_t> memory;
  files::StillImage view;
  int Channels() const { return view.bitCount <= 16 ? 1 : view.bitCount == 32 || view.bitCount == 64 ? 4 : 3; }
  uint16_t Stored(int x, int y, int channel) const;
};

// Row padding is filled with 0xAB so that a file carrying it shows.
TestImage MakeImage(int width, int height, int bitCount, const SampleAt& sample);
// Distinct values per pixel and channel: 8 bits for 8-bit samples, 12 bits
// for 16-bit ones, the fourth channel zero as the pipeline leaves it.
TestImage MakePatternImage(int width, int height, int bitCount);

struct Decoded {
  int width = 0, height = 0, channels = 0, bitDepth = 0;
  std::vector<uint16_t> samples;  // rows top first, channels in file order
  uint16_t At(int x, int y, int channel) const {
    return samples[(static_cast<size_t>(y) * width + x) * channels + channel];
  }
};

struct JpegFile : Decoded {
  bool progressive = false;
  int colourSpace = 0;
};
JpegFile ReadJpeg(const std::string& path);

// 16-bit samples are taken big-endian, as the format stores them.
struct PngFile : Decoded {
  int colourType = -1;
};
PngFile ReadPng(const std::string& path);

struct TiffFile : Decoded {
  int photometric = -1, compression = -1, planar = -1, strips = 0, extraSamples = -1;
};
TiffFile ReadTiff(const std::string& path);

std::vector<uint8_t> ReadBytes(const std::string& path);
uint32_t LittleEndian32(const std::vector<uint8_t>& bytes, size_t offset);
uint16_t LittleEndian16(const std::vector<uint8_t>& bytes, size_t offset);

// prefix + number + suffix, built by appending (GCC 12 warns about the
// temporaries of a chain of + at -O3).
std::string Numbered(std::string prefix, int number, const char* suffix = "");

// A fresh empty directory under the test's scratch directory.
std::string FreshDirectory(const std::string& name);
// Names in a directory, to see that nothing was left behind.
std::vector<std::string> DirectoryEntries(const std::string& directory);

}  // namespace tevrin::test

namespace tevrin::test {

// Expects the decoded file to hold the image's pixels in R, G, B order at the
// image's own sample depth, 16-bit samples widened from `significantBits`,
// and `fourth` in the fourth channel of 32- and 64-bit pixels.
void ExpectRgbOrderPixels(const Decoded& file, const TestImage& image, int significantBits, uint16_t fourth);

}  // namespace tevrin::test
