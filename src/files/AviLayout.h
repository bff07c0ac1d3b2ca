// The uncompressed AVI file as CAviWriter writes it: one video stream of
// 24-bit bottom-up DIB frames in "00db" chunks inside "movi", then an "idx1"
// index. Everything up to and including the "movi" identifier is one packed
// record, so the fields patched when the file is finished have fixed offsets.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "files/BmpHeader.h"

namespace tevrin::files {

constexpr uint32_t FourCc(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}

#pragma pack(push, 1)
struct AviChunkHeader {
  uint32_t id;
  uint32_t size;
};

struct AviMainHeader {
  uint32_t microSecPerFrame;
  uint32_t maxBytesPerSec;
  uint32_t paddingGranularity;
  uint32_t flags;
  uint32_t totalFrames;
  uint32_t initialFrames;
  uint32_t streams;
  uint32_t suggestedBufferSize;
  uint32_t width;
  uint32_t height;
  uint32_t reserved[4];
};

struct AviStreamHeader {
  uint32_t type;
  uint32_t handler;
  uint32_t flags;
  uint16_t priority;
  uint16_t language;
  uint32_t initialFrames;
  uint32_t scale;
  uint32_t rate;
  uint32_t start;
  uint32_t length;
  uint32_t suggestedBufferSize;
  uint32_t quality;
  uint32_t sampleSize;
  int32_t frame[4];
};

struct AviIndexEntry {
  uint32_t chunkId;
  uint32_t flags;
  uint32_t offset;  // of the chunk's header, from the "movi" identifier
  uint32_t size;
};

// From "RIFF" to "movi".
struct AviFileHeader {
  AviChunkHeader riff;  // size: file length - 8
  uint32_t aviType;
  AviChunkHeader headerList;
  uint32_t headerListType;
  AviChunkHeader mainChunk;
  AviMainHeader main;
  AviChunkHeader streamList;
  uint32_t streamListType;
  AviChunkHeader streamChunk;
  AviStreamHeader stream;
  AviChunkHeader formatChunk;
  BmpInfoHeader format;
  AviChunkHeader moviList;  // size: 4 + the frame chunks
  uint32_t moviType;
};
#pragma pack(pop)

static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(AviMainHeader) == 56 && sizeof(AviStreamHeader) == 64 && sizeof(AviIndexEntry) == 16);
static_assert(sizeof(AviFileHeader) == 232);
static_assert(offsetof(AviFileHeader, riff.size) == 4 && offsetof(AviFileHeader, main.microSecPerFrame) == 32);
static_assert(offsetof(AviFileHeader, main.totalFrames) == 48 && offsetof(AviFileHeader, stream.scale) == 128);
static_assert(offsetof(AviFileHeader, stream.length) == 140 && offsetof(AviFileHeader, format) == 180);
static_assert(offsetof(AviFileHeader, moviList.size) == 224 && offsetof(AviFileHeader, moviType) == 228);

constexpr uint32_t kAviFrameChunk = FourCc("00db");
constexpr uint32_t kAviHasIndex = 0x10;
constexpr uint32_t kAviWasCaptureFile = 0x10000;
constexpr uint32_t kAviKeyFrame = 0x10;
// dwRate of the stream: the frame rate is dwRate / dwScale.
constexpr uint32_t kAviStreamRate = 10000000;
// The writer's rate field is frames per second x 100.
constexpr uint32_t kAviRateScale = 100;
constexpr uint32_t kAviOpeningRate = 30 * kAviRateScale;

}  // namespace tevrin::files
