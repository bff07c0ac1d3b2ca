// A reader of the uncompressed AVI files the recorder writes, written apart
// from the writer: it walks the RIFF chunks by their identifiers and sizes
// and keeps every field a test looks at, with the file offsets it found them at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct AviIndexRecord {
  std::string id;
  uint32_t flags = 0;
  uint32_t offset = 0;  // from the "movi" identifier
  uint32_t size = 0;
};

struct AviContents {
  uint64_t fileSize = 0;
  uint32_t riffSize = 0;
  uint32_t headerListSize = 0;
  // avih
  uint32_t microSecPerFrame = 0, maxBytesPerSec = 0, paddingGranularity = 0, flags = 0, totalFrames = 0,
           initialFrames = 0, streams = 0, suggestedBufferSize = 0, width = 0, height = 0;
  uint32_t streamListSize = 0;
  // strh
  std::string streamType, handler;
  uint32_t streamFlags = 0, streamInitialFrames = 0, scale = 0, rate = 0, start = 0, length = 0,
           streamSuggestedBufferSize = 0, quality = 0, sampleSize = 0;
  // strf (BITMAPINFOHEADER)
  uint32_t biSize = 0, biCompression = 0, biSizeImage = 0;
  int32_t biWidth = 0, biHeight = 0;
  uint16_t biPlanes = 0, biBitCount = 0;
  // movi
  uint64_t moviOffset = 0;  // file offset of the "movi" identifier
  uint32_t moviSize = 0;
  std::vector<uint64_t> frameOffsets;  // file offsets of the "00db" chunk headers
  std::vector<uint32_t> frameSizes;
  std::vector<AviIndexRecord> index;
  bool indexPresent = false;

  std::vector<uint8_t> bytes;  // the whole file
  // The pixels of frame `n` as stored (bottom-up rows of B, G, R).
  const uint8_t* Frame(size_t n) const { return bytes.data() + frameOffsets.at(n) + 8; }
};

// The parsed file; nothing when it is missing or its chunks do not nest
// (with `why` saying what was wrong).
std::optional<AviContents> ReadAvi(const std::string& path, std::string* why = nullptr);
