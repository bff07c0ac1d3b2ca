// The size and depth of a still image as an independent reader sees it:
// libpng, libtiff and libjpeg for their formats, the header fields for BMP.
#pragma once

#include <string>

namespace tevrin::test {

struct StillHeader {
  bool readable = false;
  int width = 0;
  int height = 0;
  int bitsPerSample = 0;
  int samplesPerPixel = 0;
  int bmpBitCount = 0;  // BMP only
  long fileSize = 0;    // BMP only: bfSize, checked against the file
};

StillHeader ReadPng(const std::string& path);
StillHeader ReadTiff(const std::string& path);
StillHeader ReadJpeg(const std::string& path);
StillHeader ReadBmp(const std::string& path);

}  // namespace tevrin::test
