#include "files/AviWriter.h"

#include <algorithm>
#include <limits>
#include <new>

using namespace tevrin::files;

namespace {

// Bytes after the RIFF size field once the header up to "movi" is written.
constexpr uint64_t kOpeningRiffSize = sizeof(AviFileHeader) - sizeof(AviChunkHeader);
// The "movi" identifier itself.
constexpr uint64_t kOpeningMoviSize = sizeof(uint32_t);
constexpr uint32_t kMicrosecondsX100 = 100000000;
constexpr uint32_t kStreamRateX100 = kAviStreamRate * kAviRateScale;
// The index is reserved up front for this many frames, so that it rarely
// grows during a recording.
constexpr size_t kReservedIndexEntries = 16384;

}  // namespace

void CAviWriter::SetFormat(int width, int height, int bitCount) {
  width_ = width;
  height_ = height;
  bitCount_ = bitCount;
  frameBytes_ = width > 0 && height > 0 ? static_cast<size_t>(width) * static_cast<size_t>(height) * 3 : 0;
}

void CAviWriter::FillHeader() {
  const auto chunkBytes = static_cast<uint32_t>(frameBytes_ + sizeof(AviChunkHeader));
  AviFileHeader& h = header_;
  h = {};
  h.riff = {FourCc("RIFF"), 0};
  h.aviType = FourCc("AVI ");
  h.headerList = {FourCc("LIST"), offsetof(AviFileHeader, moviList) - offsetof(AviFileHeader, headerListType)};
  h.headerListType = FourCc("hdrl");
  h.mainChunk = {FourCc("avih"), sizeof(AviMainHeader)};
  h.main.microSecPerFrame = 1000000 / 30;
  // What players size their buffers by; the square is what capture files
  // have always carried here, its low 32 bits kept.
  h.main.maxBytesPerSec = static_cast<uint32_t>(static_cast<uint64_t>(chunkBytes) * chunkBytes);
  h.main.flags = kAviHasIndex | kAviWasCaptureFile;
  h.main.streams = 1;
  h.main.suggestedBufferSize = chunkBytes;
  h.main.width = static_cast<uint32_t>(width_);
  h.main.height = static_cast<uint32_t>(height_);
  h.streamList = {FourCc("LIST"), offsetof(AviFileHeader, moviList) - offsetof(AviFileHeader, streamListType)};
  h.streamListType = FourCc("strl");
  h.streamChunk = {FourCc("strh"), sizeof(AviStreamHeader)};
  h.stream.type = FourCc("vids");
  h.stream.handler = FourCc("DIB ");
  h.stream.scale = kAviStreamRate / 30;
  h.stream.rate = kAviStreamRate;
  h.stream.suggestedBufferSize = chunkBytes;
  h.formatChunk = {FourCc("strf"), sizeof(BmpInfoHeader)};
  h.format.size = sizeof(BmpInfoHeader);
  h.format.width = width_;
  h.format.height = height_;  // positive: the frames are stored bottom-up
  h.format.planes = 1;
  h.format.bitCount = 24;
  h.moviList = {FourCc("LIST"), 0};
  h.moviType = FourCc("movi");
}

bool CAviWriter::Open(const char* path) {
  Reset();
  if (!path || !*path || frameBytes_ == 0 || frameBytes_ > maxRiffSize_) return false;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  file_ = file;
  path_ = path;
  FillHeader();
  riffSize_ = kOpeningRiffSize;
  moviSize_ = kOpeningMoviSize;
  try {
    index_.reserve(std::min<uint64_t>(kReservedIndexEntries, maxRiffSize_ / (frameBytes_ + sizeof(AviIndexEntry))));
  } catch (const std::bad_alloc&) {
    CloseAndRemove();
    return false;
  }
  if (Append(&header_, sizeof header_)) return true;
  CloseAndRemove();
  return false;
}

CAviWriter::AddResult CAviWriter::AddFrame(const uint8_t* pixels) {
  if (!file_ || partialFrame_) return AddResult::kWriteFailed;
  const uint64_t chunkBytes = sizeof(AviChunkHeader) + frameBytes_;
  const uint64_t entries = index_.size() + 1;
  const uint64_t finishedRiffSize = riffSize_ + chunkBytes + sizeof(AviChunkHeader) + entries * sizeof(AviIndexEntry);
  if (finishedRiffSize > maxRiffSize_) return AddResult::kFileFull;
  const AviChunkHeader chunk{kAviFrameChunk, static_cast<uint32_t>(frameBytes_)};
  try {
    index_.push_back({kAviFrameChunk, kAviKeyFrame, static_cast<uint32_t>(moviSize_), chunk.size});
  } catch (const std::bad_alloc&) {
    return AddResult::kWriteFailed;
  }
  if (!Append(&chunk, sizeof chunk) || !Append(pixels, frameBytes_)) {
    index_.pop_back();
    partialFrame_ = true;
    return AddResult::kWriteFailed;
  }
  riffSize_ += chunkBytes;
  moviSize_ += chunkBytes;
  return AddResult::kAdded;
}

bool CAviWriter::Finish() {
  if (!file_) return false;
  if (!WriteIndexAndSizes()) {
    CloseAndRemove();
    return false;
  }
  const bool closed = CloseHandle(file_) != 0;
  file_ = nullptr;
  if (!closed) DeleteFileA(path_.c_str());
  return closed;
}

// The index goes right after the last whole frame, over whatever a failed
// write left there, and the file ends with it.
bool CAviWriter::WriteIndexAndSizes() {
  const uint64_t indexOffset = sizeof(AviChunkHeader) + riffSize_;
  const AviChunkHeader indexChunk{FourCc("idx1"), static_cast<uint32_t>(index_.size() * sizeof(AviIndexEntry))};
  if (!WriteAt(indexOffset, &indexChunk, sizeof indexChunk) ||
      !WriteAt(indexOffset + sizeof indexChunk, index_.data(), indexChunk.size)) {
    return false;
  }
  riffSize_ += sizeof indexChunk + indexChunk.size;
  if (partialFrame_) {
    LONG high = static_cast<LONG>((riffSize_ + sizeof(AviChunkHeader)) >> 32);
    const auto low = static_cast<LONG>(static_cast<uint32_t>(riffSize_ + sizeof(AviChunkHeader)));
    if (SetFilePointer(file_, low, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
      return false;
    }
    if (!SetEndOfFile(file_)) return false;
  }
  const uint32_t rate = std::max<uint32_t>(rate_, 1);
  header_.riff.size = static_cast<uint32_t>(riffSize_);
  header_.moviList.size = static_cast<uint32_t>(moviSize_);
  header_.main.totalFrames = header_.stream.length = FrameCount();
  header_.main.microSecPerFrame = kMicrosecondsX100 / rate;
  header_.stream.scale = kStreamRateX100 / rate;
  return WriteAt(0, &header_, sizeof header_);
}

void CAviWriter::Reset() {
  if (file_) CloseAndRemove();
  header_ = {};
  riffSize_ = moviSize_ = 0;
  partialFrame_ = false;
  index_.clear();
  path_.clear();
}

void CAviWriter::CloseAndRemove() {
  CloseHandle(file_);
  file_ = nullptr;
  DeleteFileA(path_.c_str());
}

bool CAviWriter::Append(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, std::numeric_limits<DWORD>::max()));
    DWORD written = 0;
    if (!WriteFile(file_, bytes, chunk, &written, nullptr) || written == 0) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

bool CAviWriter::WriteAt(uint64_t offset, const void* data, size_t size) {
  OVERLAPPED at{};
  at.u.s.Offset = static_cast<DWORD>(offset);
  at.u.s.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD written = 0;
  return WriteFile(file_, data, static_cast<DWORD>(size), &written, &at) && written == size;
}
