#include "gdi/PixelCopy.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tevrin::win32 {

namespace {

// Picks the colour-table entry nearest to a colour, remembering recent answers.
class ColorMatcher {
 public:
  ColorMatcher(const uint32_t* colors, int count) : colors_(colors), count_(count) { cache_.fill(kEmpty); }

  uint8_t Index(uint32_t color) {
    Entry& entry = cache_[(color * 2654435761u) >> 24];
    if (entry.color != color) entry = Entry{color, Nearest(color)};
    return entry.index;
  }

 private:
  struct Entry {
    uint32_t color;
    uint8_t index;
  };
  static constexpr Entry kEmpty{0xFFFFFFFFu, 0};

  uint8_t Nearest(uint32_t color) const {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < count_; ++i) {
      int distance = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        int difference = static_cast<int>((color >> shift) & 0xFF) - static_cast<int>((colors_[i] >> shift) & 0xFF);
        distance += difference * difference;
      }
      if (distance < bestDistance) {
        bestDistance = distance;
        best = i;
      }
    }
    return static_cast<uint8_t>(best);
  }

  const uint32_t* colors_;
  int count_;
  std::array<Entry, 256> cache_;
};

struct Conversion {
  const uint32_t* sourceColors;
  ColorMatcher* matcher;  // 8-bit destinations only
  bool grayRamp;          // 8-bit sources only
};

uint32_t Expand5(uint32_t value) {
  return (value << 3) | (value >> 2);
}

template <int Bits>
uint32_t Read(const uint8_t* __restrict bytes, int x, const uint32_t* __restrict colors) {
  if constexpr (Bits == 8) {
    return colors[bytes[x]];
  } else if constexpr (Bits == 16) {
    uint32_t value = bytes[2 * x] | (bytes[2 * x + 1] << 8);
    return Expand5(value & 31) | (Expand5((value >> 5) & 31) << 8) | (Expand5((value >> 10) & 31) << 16);
  } else if constexpr (Bits == 24) {
    return bytes[3 * x] | (bytes[3 * x + 1] << 8) | (bytes[3 * x + 2] << 16);
  } else {
    uint32_t value;
    std::memcpy(&value, bytes + 4 * x, 4);
    return value & 0x00FFFFFFu;
  }
}

template <int Bits>
void Write(uint8_t* __restrict bytes, int x, uint32_t color, ColorMatcher* matcher) {
  if constexpr (Bits == 8) {
    bytes[x] = matcher->Index(color);
  } else if constexpr (Bits == 16) {
    auto value =
        static_cast<uint16_t>(((color >> 3) & 31) | (((color >> 11) & 31) << 5) | (((color >> 19) & 31) << 10));
    std::memcpy(bytes + 2 * x, &value, 2);
  } else if constexpr (Bits == 24) {
    bytes[3 * x] = static_cast<uint8_t>(color);
    bytes[3 * x + 1] = static_cast<uint8_t>(color >> 8);
    bytes[3 * x + 2] = static_cast<uint8_t>(color >> 16);
  } else {
    std::memcpy(bytes + 4 * x, &color, 4);
  }
}

// How a row's destination pixels pick source columns: column k is
// columns[k], or first + k (forward) / first - k (reversed) without a map.
struct Columns {
  int first;
  bool reversed;
  const int* map;  // null: consecutive
};

using RowCopy = void (*)(std::byte* dest, const std::byte* source, const Columns& columns, int count,
                         const Conversion& conversion);

// The three column patterns as separate loops, so each is a plain indexed loop.
template <class Pixel>
void ForEachColumn(const Columns& columns, int count, Pixel pixel) {
  if (columns.map != nullptr) {
    for (int k = 0; k < count; ++k) pixel(k, columns.map[k]);
  } else if (columns.reversed) {
    for (int k = 0; k < count; ++k) pixel(k, columns.first - k);
  } else {
    for (int k = 0; k < count; ++k) pixel(k, columns.first + k);
  }
}

// A grey ramp (entry i is i, i, i) needs no table: each byte is spread over
// the three colour bytes, sixteen pixels at a time.
bool GrayRamp(const uint32_t* colors) {
  for (uint32_t i = 0; i < 256; ++i) {
    if (colors[i] != i * 0x010101u) return false;
  }
  return true;
}

void GrayRowTo32(uint8_t* __restrict out, const uint8_t* __restrict in, int count) {
  int k = 0;
#if defined(__SSE2__)
  const __m128i colorBytes = _mm_set1_epi32(0x00FFFFFF);
  for (; k + 16 <= count; k += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    const __m128i low = _mm_unpacklo_epi8(bytes, bytes), high = _mm_unpackhi_epi8(bytes, bytes);
    __m128i* target = reinterpret_cast<__m128i*>(out + 4 * k);
    _mm_storeu_si128(target, _mm_and_si128(_mm_unpacklo_epi16(low, low), colorBytes));
    _mm_storeu_si128(target + 1, _mm_and_si128(_mm_unpackhi_epi16(low, low), colorBytes));
    _mm_storeu_si128(target + 2, _mm_and_si128(_mm_unpacklo_epi16(high, high), colorBytes));
    _mm_storeu_si128(target + 3, _mm_and_si128(_mm_unpackhi_epi16(high, high), colorBytes));
  }
#endif
  for (; k < count; ++k) {
    const uint32_t color = in[k] * 0x010101u;
    std::memcpy(out + 4 * k, &color, 4);
  }
}

// The display's common case, indexed pixels to 32 bits in order: a table
// look-up per pixel, four at a time.
void IndexedRowTo32(uint8_t* __restrict out, const uint8_t* __restrict in, int count,
                    const uint32_t* __restrict colors) {
  int k = 0;
  for (; k + 4 <= count; k += 4) {
    uint32_t quad[4] = {colors[in[k]], colors[in[k + 1]], colors[in[k + 2]], colors[in[k + 3]]};
    std::memcpy(out + 4 * k, quad, sizeof quad);
  }
  for (; k < count; ++k) std::memcpy(out + 4 * k, &colors[in[k]], 4);
}

// 24 to 32 bits in order: two pixels from one 8-byte load, as long as the
// load stays inside the row; the rest one by one.
void ColorRowTo32(uint8_t* __restrict out, const uint8_t* __restrict in, int count) {
  int k = 0;
  for (; 3 * k + 8 <= 3 * count; k += 2) {
    uint64_t bytes;
    std::memcpy(&bytes, in + 3 * k, 8);
    const uint64_t pair = (bytes & 0xFFFFFFu) | ((bytes << 8) & 0x00FFFFFF00000000u);
    std::memcpy(out + 4 * k, &pair, 8);
  }
  for (; k < count; ++k) {
    const uint8_t* pixel = in + 3 * k;
    const uint32_t color = pixel[0] | (pixel[1] << 8) | (pixel[2] << 16);
    std::memcpy(out + 4 * k, &color, 4);
  }
}

template <int SourceBits, int DestBits>
void ConvertRow(std::byte* dest, const std::byte* source, const Columns& columns, int count,
                const Conversion& conversion) {
  auto* out = reinterpret_cast<uint8_t*>(dest);
  const auto* in = reinterpret_cast<const uint8_t*>(source);
  const uint32_t* colors = conversion.sourceColors;
  ColorMatcher* matcher = conversion.matcher;
  if constexpr (SourceBits == 8 && DestBits == 32) {
    if (columns.map == nullptr && !columns.reversed) {
      if (conversion.grayRamp) return GrayRowTo32(out, in + columns.first, count);
      return IndexedRowTo32(out, in + columns.first, count, colors);
    }
  }
  if constexpr (SourceBits == 24 && DestBits == 32) {
    if (columns.map == nullptr && !columns.reversed) return ColorRowTo32(out, in + 3 * columns.first, count);
  }
  ForEachColumn(columns, count,
                [=](int k, int x) { Write<DestBits>(out, k, Read<SourceBits>(in, x, colors), matcher); });
}

// Same format (and, for 8 bits, the same colours): bytes are copied as they are.
template <int Bytes>
void RawRow(std::byte* dest, const std::byte* source, const Columns& columns, int count, const Conversion&) {
  if (columns.map == nullptr && !columns.reversed) {
    std::memcpy(dest, source + static_cast<ptrdiff_t>(columns.first) * Bytes, static_cast<size_t>(count) * Bytes);
    return;
  }
  ForEachColumn(columns, count, [=](int k, int x) {
    std::memcpy(dest + static_cast<ptrdiff_t>(k) * Bytes, source + static_cast<ptrdiff_t>(x) * Bytes, Bytes);
  });
}

int FormatIndex(int bitCount) {
  return bitCount / 8 - 1;
}  // 8, 16, 24, 32 -> 0..3

template <int SourceBits>
constexpr std::array<RowCopy, 4> kConvertFrom{ConvertRow<SourceBits, 8>, ConvertRow<SourceBits, 16>,
                                              ConvertRow<SourceBits, 24>, ConvertRow<SourceBits, 32>};
constexpr std::array<std::array<RowCopy, 4>, 4> kConvert{kConvertFrom<8>, kConvertFrom<16>, kConvertFrom<24>,
                                                         kConvertFrom<32>};
constexpr std::array<RowCopy, 4> kRaw{RawRow<1>, RawRow<2>, RawRow<3>, RawRow<4>};

bool SameColors(const PixelView& a, const PixelView& b) {
  return a.colorCount == b.colorCount &&
         std::memcmp(a.colors, b.colors, sizeof(uint32_t) * static_cast<size_t>(a.colorCount)) == 0;
}

RowCopy ChooseRowCopy(const PixelView& dest, const PixelView& source) {
  if (dest.bitCount == source.bitCount && (dest.bitCount != 8 || SameColors(dest, source))) {
    return kRaw[FormatIndex(dest.bitCount)];
  }
  return kConvert[FormatIndex(source.bitCount)][FormatIndex(dest.bitCount)];
}

// The source index of every destination index on one axis that lands inside
// both images; returns the first such destination index. Destination pixel i
// of the extent samples the source at its centre.
int MapAxis(Extent dest, Extent source, int destLimit, int sourceLimit, std::vector<int>& map) {
  map.clear();
  int64_t destCount = std::abs(static_cast<int64_t>(dest.size));
  int64_t sourceCount = std::abs(static_cast<int64_t>(source.size));
  int64_t destStart = dest.size < 0 ? static_cast<int64_t>(dest.origin) + dest.size : dest.origin;
  int64_t sourceStart = source.size < 0 ? static_cast<int64_t>(source.origin) + source.size : source.origin;
  bool mirror = (dest.size < 0) != (source.size < 0);
  int64_t first = std::max<int64_t>(0, -destStart);
  int64_t end = std::min<int64_t>(destCount, destLimit - destStart);
  int firstDest = 0;
  for (int64_t i = first; i < end; ++i) {
    // Unsigned: (2i + 1) < 2^33 and the count <= 2^31 keep the product in range.
    auto offset = static_cast<int64_t>((static_cast<uint64_t>(2 * i + 1) * static_cast<uint64_t>(sourceCount)) /
                                       static_cast<uint64_t>(2 * destCount));
    int64_t sourceIndex = sourceStart + (mirror ? sourceCount - 1 - offset : offset);
    if (sourceIndex < 0 || sourceIndex >= sourceLimit) continue;
    if (map.empty()) firstDest = static_cast<int>(destStart + i);
    map.push_back(static_cast<int>(sourceIndex));
  }
  return firstDest;
}

// Whether the map steps by exactly `step` from its first entry.
bool Steps(const std::vector<int>& map, int step) {
  for (size_t k = 1; k < map.size(); ++k) {
    if (map[k] != map[0] + step * static_cast<int>(k)) return false;
  }
  return true;
}

Columns DescribeColumns(const std::vector<int>& map) {
  if (Steps(map, 1)) return Columns{map[0], false, nullptr};
  if (Steps(map, -1)) return Columns{map[0], true, nullptr};
  return Columns{map[0], false, map.data()};
}

// A private copy of the source when it shares memory with the destination.
PixelView Detached(const PixelView& source, std::vector<std::byte>& storage) {
  storage.assign(source.bits, source.bits + static_cast<ptrdiff_t>(source.stride) * source.height);
  PixelView copy = source;
  copy.bits = storage.data();
  return copy;
}

}  // namespace

int DibStride(int width, int bitCount) {
  return static_cast<int>(((static_cast<int64_t>(width) * bitCount + 31) / 32) * 4);
}

void StretchPixels(const PixelView& dest, Extent destX, Extent destY, const PixelView& sourceIn, Extent sourceX,
                   Extent sourceY) {
  if (destX.size == 0 || destY.size == 0 || sourceX.size == 0 || sourceY.size == 0) return;
  // Reused across calls so that drawing each frame allocates nothing.
  thread_local std::vector<int> columns;
  thread_local std::vector<int> rows;
  thread_local std::vector<std::byte> detached;
  int firstColumn = MapAxis(destX, sourceX, dest.width, sourceIn.width, columns);
  int firstRow = MapAxis(destY, sourceY, dest.height, sourceIn.height, rows);
  if (columns.empty() || rows.empty()) return;

  PixelView source = sourceIn.bits == dest.bits ? Detached(sourceIn, detached) : sourceIn;
  ColorMatcher matcher(dest.colors, dest.bitCount == 8 ? dest.colorCount : 0);
  Conversion conversion{source.colors, &matcher, source.bitCount == 8 && source.colors && GrayRamp(source.colors)};
  RowCopy copy = ChooseRowCopy(dest, source);
  Columns columnPattern = DescribeColumns(columns);
  int count = static_cast<int>(columns.size());
  size_t destOffset = static_cast<size_t>(firstColumn) * static_cast<size_t>(dest.bitCount / 8);
  size_t rowBytes = static_cast<size_t>(count) * static_cast<size_t>(dest.bitCount / 8);
  for (size_t r = 0; r < rows.size(); ++r) {
    std::byte* destRow = dest.Row(firstRow + static_cast<int>(r)) + destOffset;
    if (r > 0 && rows[r] == rows[r - 1]) {  // a repeated source row: repeat the finished row
      std::memcpy(destRow, dest.Row(firstRow + static_cast<int>(r) - 1) + destOffset, rowBytes);
      continue;
    }
    copy(destRow, source.Row(rows[r]), columnPattern, count, conversion);
  }
}

}  // namespace tevrin::win32
