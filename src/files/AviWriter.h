// Writes an uncompressed AVI movie of 24-bit frames: the header when the file
// is opened, one "00db" chunk per frame, and the index and final sizes and
// rates when it is finished. A file is either finished or removed: Finish
// removes what it cannot complete, Reset removes a file left unfinished.
// Not thread-safe; the recorder uses one writer from one thread at a time.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/AviLayout.h"

class CAviWriter {
 public:
  // The RIFF size, the "movi" size and every index offset are 32-bit fields.
  static constexpr uint64_t kMaxRiffSize = UINT32_MAX;

  enum class AddResult { kAdded, kFileFull, kWriteFailed };

  // `maxRiffSize` below kMaxRiffSize lets a test reach the size limit with few frames.
  explicit CAviWriter(uint64_t maxRiffSize = kMaxRiffSize) : maxRiffSize_(maxRiffSize) {}
  ~CAviWriter() { Reset(); }
  CAviWriter(const CAviWriter&) = delete;
  CAviWriter& operator=(const CAviWriter&) = delete;

  // Frame size in pixels and the bit count of the image it is taken from
  // (informational: frames are always 24-bit). Set before Open.
  void SetFormat(int width, int height, int bitCount);
  // Frames per second x 100, written by Finish; below 1 counts as 1.
  void SetRate(uint32_t rate) { rate_ = rate; }
  uint32_t Rate() const { return rate_; }
  uint32_t FrameCount() const { return static_cast<uint32_t>(index_.size()); }
  // Bytes of one frame: rows of 3 x width bytes, bottom-up, B, G, R.
  size_t FrameBytes() const { return frameBytes_; }

  // Resets, then creates or truncates `path` and writes the header up to
  // "movi". False, and no file left, when it cannot.
  bool Open(const char* path);
  // Appends one frame of FrameBytes() bytes. kFileFull, with nothing
  // written, when the finished file would outgrow the 32-bit sizes;
  // kWriteFailed when the disk refused it (Finish then drops the partial chunk).
  AddResult AddFrame(const uint8_t* pixels);
  // Writes the index, the sizes and the rate fields and closes the file.
  // False when that failed: the file is then removed.
  bool Finish();
  // Closes the file, removing it unless finished, and forgets the frames.
  void Reset();
  bool IsOpen() const { return file_ != nullptr; }

 private:
  void FillHeader();
  bool Append(const void* data, size_t size);
  bool WriteAt(uint64_t offset, const void* data, size_t size);
  bool WriteIndexAndSizes();
  void CloseAndRemove();

  uint64_t maxRiffSize_;
  HANDLE file_ = nullptr;
  std::string path_;
  tevrin::files::AviFileHeader header_{};
  // Bytes after the RIFF size field and after the "movi" size field so far.
  uint64_t riffSize_ = 0;
  uint64_t moviSize_ = 0;
  // A frame write failed part-way: bytes past the last whole frame are to go.
  bool partialFrame_ = false;
  std::vector<tevrin::files::AviIndexEntry> index_;
  int width_ = 0;
  int height_ = 0;
  int bitCount_ = 0;
  size_t frameBytes_ = 0;
  uint32_t rate_ = tevrin::files::kAviOpeningRate;
};
