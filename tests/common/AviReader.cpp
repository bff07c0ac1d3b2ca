#include "AviReader.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

class Cursor {
 public:
  explicit Cursor(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool Has(uint64_t at, uint64_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }
  std::string Id(uint64_t at) const {
    return Has(at, 4) ? std::string(bytes_.begin() + at, bytes_.begin() + at + 4) : "";
  }
  uint32_t U32(uint64_t at) const { return Has(at, 4) ? Load<uint32_t>(at) : 0; }
  uint16_t U16(uint64_t at) const { return Has(at, 2) ? Load<uint16_t>(at) : 0; }

 private:
  template <typename T>
  T Load(uint64_t at) const {
    T value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<T>(static_cast<T>(bytes_[at + i]) << (8 * i));
    return value;
  }
  const std::vector<uint8_t>& bytes_;
};

bool Fail(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

// Walks the chunks of a list body [begin, end), calling visit(id, offset of its data, size).
template <typename Visit>
bool Walk(const Cursor& c, uint64_t begin, uint64_t end, std::string* why, Visit visit) {
  for (uint64_t at = begin; at < end;) {
    if (!c.Has(at, 8) || at + 8 > end) return Fail(why, "chunk header past its list at " + std::to_string(at));
    const std::string id = c.Id(at);
    const uint32_t size = c.U32(at + 4);
    if (at + 8 + size > end) return Fail(why, "chunk " + id + " runs past its list at " + std::to_string(at));
    if (!visit(id, at + 8, size)) return false;
    at += 8 + size + (size & 1);
  }
  return true;
}

bool ReadMainHeader(const Cursor& c, uint64_t at, AviContents& a) {
  uint32_t* fields[] = {&a.microSecPerFrame, &a.maxBytesPerSec, &a.paddingGranularity,  &a.flags, &a.totalFrames,
                        &a.initialFrames,    &a.streams,        &a.suggestedBufferSize, &a.width, &a.height};
  for (uint32_t* field : fields) {
    *field = c.U32(at);
    at += 4;
  }
  return true;
}

bool ReadStreamHeader(const Cursor& c, uint64_t at, AviContents& a) {
  a.streamType = c.Id(at);
  a.handler = c.Id(at + 4);
  a.streamFlags = c.U32(at + 8);
  uint32_t* fields[] = {&a.streamInitialFrames,       &a.scale,   &a.rate,      &a.start, &a.length,
                        &a.streamSuggestedBufferSize, &a.quality, &a.sampleSize};
  at += 16;
  for (uint32_t* field : fields) {
    *field = c.U32(at);
    at += 4;
  }
  return true;
}

bool ReadFormat(const Cursor& c, uint64_t at, AviContents& a) {
  a.biSize = c.U32(at);
  a.biWidth = static_cast<int32_t>(c.U32(at + 4));
  a.biHeight = static_cast<int32_t>(c.U32(at + 8));
  a.biPlanes = c.U16(at + 12);
  a.biBitCount = c.U16(at + 14);
  a.biCompression = c.U32(at + 16);
  a.biSizeImage = c.U32(at + 20);
  return true;
}

}  // namespace

std::optional<AviContents> ReadAvi(const std::string& path, std::string* why) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    Fail(why, "cannot open " + path);
    return std::nullopt;
  }
  AviContents a;
  a.bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  a.fileSize = a.bytes.size();
  const Cursor c(a.bytes);
  if (c.Id(0) != "RIFF" || c.Id(8) != "AVI ") {
    Fail(why, "no RIFF AVI header");
    return std::nullopt;
  }
  a.riffSize = c.U32(4);
  const uint64_t end = std::min<uint64_t>(a.fileSize, 8 + static_cast<uint64_t>(a.riffSize));
  const auto visitStream = [&](const std::string& id, uint64_t at, uint32_t) {
    if (id == "strh") return ReadStreamHeader(c, at, a);
    if (id == "strf") return ReadFormat(c, at, a);
    return true;
  };
  const auto visitHeader = [&](const std::string& id, uint64_t at, uint32_t size) {
    if (id == "avih") return ReadMainHeader(c, at, a);
    if (id == "LIST" && c.Id(at) == "strl") {
      a.streamListSize = size;
      return Walk(c, at + 4, at + size, why, visitStream);
    }
    return true;
  };
  const auto visitMovi = [&](const std::string& id, uint64_t at, uint32_t size) {
    if (id == "00db") {
      a.frameOffsets.push_back(at - 8);
      a.frameSizes.push_back(size);
    }
    return true;
  };
  const auto visitTop = [&](const std::string& id, uint64_t at, uint32_t size) {
    if (id == "LIST" && c.Id(at) == "hdrl") {
      a.headerListSize = size;
      return Walk(c, at + 4, at + size, why, visitHeader);
    }
    if (id == "LIST" && c.Id(at) == "movi") {
      a.moviOffset = at;
      a.moviSize = size;
      return Walk(c, at + 4, at + size, why, visitMovi);
    }
    if (id == "idx1") {
      a.indexPresent = true;
      for (uint64_t entry = at; entry + 16 <= at + size; entry += 16) {
        a.index.push_back({c.Id(entry), c.U32(entry + 4), c.U32(entry + 8), c.U32(entry + 12)});
      }
    }
    return true;
  };
  if (!Walk(c, 12, end, why, visitTop)) return std::nullopt;
  return a;
}
