// The defect-pixel replacement of the raw frame.
#include <cstdint>
#include <cstring>

#include "image/DibImage.h"
#include "image/RawFilters.h"

namespace tevrin::image {
namespace {

// Pixels closer than this to an edge are never examined.
constexpr int kMargin = 4;

template <typename Sample>
struct Planes {
  CDibImage& frame;
  const CDibImage& hot;
  const CDibImage& cold;
  CDibImage& marks;
  SensorWindow window;

  Sample* Frame(int y) const { return reinterpret_cast<Sample*>(frame.Row(y)); }
  Sample* Marks(int y) const { return reinterpret_cast<Sample*>(marks.Row(y)); }
  const Sample* Map(const CDibImage& map, int y) const {
    return reinterpret_cast<const Sample*>(map.Row(window.top + y * window.step)) + window.left;
  }
};

// Without branches, so that the loop vectorises.
template <typename Sample>
void MarkRow(const Planes<Sample>& p, int y, int threshold, int step) {
  const Sample* above = p.Frame(y - 1);
  const Sample* row = p.Frame(y);
  const Sample* below = p.Frame(y + 1);
  const Sample* hot = p.Map(p.hot, y);
  const Sample* cold = p.Map(p.cold, y);
  Sample* marks = p.Marks(y);
  for (int x = kMargin; x < p.frame.Width() - kMargin; ++x) {
    const int mean = (row[x - 1] + row[x + 1] + above[x] + below[x]) >> 2;
    const int difference = row[x] - mean;
    const bool outlier = (difference < 0 ? -difference : difference) >= threshold;
    marks[x] = static_cast<Sample>((hot[x * step] != 0) | (cold[x * step] != 0) | outlier);
  }
}

// The mean of the nearest unmarked pixel in each direction; every pixel
// outside the examined area is unmarked, so each search finds one.
template <typename Sample>
Sample Replacement(const Planes<Sample>& p, int y, int x) {
  const Sample* row = p.Frame(y);
  const Sample* marks = p.Marks(y);
  int sum = 0;
  int left = x - 1;
  while (left > 0 && marks[left]) --left;
  sum += row[left];
  int right = x + 1;
  while (right < p.frame.Width() - 1 && marks[right]) ++right;
  sum += row[right];
  int up = y - 1;
  while (up > 0 && p.Marks(up)[x]) --up;
  sum += p.Frame(up)[x];
  int down = y + 1;
  while (down < p.frame.Height() - 1 && p.Marks(down)[x]) ++down;
  sum += p.Frame(down)[x];
  return static_cast<Sample>(sum / 4);
}

template <typename Sample>
void ReplaceDots(const Planes<Sample>& p, int threshold) {
  const int width = p.frame.Width(), height = p.frame.Height();
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(Sample);
  for (int y = 0; y < height; ++y) std::memset(p.Marks(y), 0, rowBytes);
  for (int y = kMargin; y < height - kMargin; ++y) {
    // A literal step of 1 lets the compiler vectorise the unsubsampled frame.
    if (p.window.step == 1) {
      MarkRow(p, y, threshold, 1);
    } else {
      MarkRow(p, y, threshold, p.window.step);
    }
  }
  for (int y = kMargin; y < height - kMargin; ++y) {
    const Sample* marks = p.Marks(y);
    Sample* row = p.Frame(y);
    for (int x = kMargin; x < width - kMargin; ++x) {
      if (marks[x]) row[x] = Replacement(p, y, x);
    }
  }
}

}  // namespace

void ApplyDotFilter(CDibImage& frame, const DefectMasks& masks, SensorWindow window) {
  if (!masks.hot || !masks.cold || !masks.marks) return;
  if (!CoversFrame(*masks.hot, frame, window) || !CoversFrame(*masks.cold, frame, window)) return;
  // The marks cover the frame itself, not its place on the sensor.
  if (!CoversFrame(*masks.marks, frame, SensorWindow{})) return;
  if (frame.BitCount() == 8) ReplaceDots(Planes<uint8_t>{frame, *masks.hot, *masks.cold, *masks.marks, window}, 30);
  if (frame.BitCount() == 16) ReplaceDots(Planes<uint16_t>{frame, *masks.hot, *masks.cold, *masks.marks, window}, 480);
}

}  // namespace tevrin::image
