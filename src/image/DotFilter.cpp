// The defect-pixel replacement of the raw frame.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/DibImage.h"
#include "image/RawFilters.h"

namespace tevrin::image {
namespace {

// Pixels closer than this to an edge are never examined.
constexpr int kMargin = 4;
// Wider than any map the frame is placed on.
constexpr int kMaxWidth = 4096;

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
  // A local end: 8-bit stores could alias the image's own fields.
  const int end = p.frame.Width() - kMargin;
  for (int x = kMargin; x < end; ++x) {
    const int mean = (row[x - 1] + row[x + 1] + above[x] + below[x]) >> 2;
    const int difference = row[x] - mean;
    const bool outlier = (difference < 0 ? -difference : difference) >= threshold;
    marks[x] = static_cast<Sample>((hot[x * step] != 0) | (cold[x * step] != 0) | outlier);
  }
}

// Each marked pixel takes the mean of the nearest unmarked pixel to its left,
// right, above and below. Marks never change and unmarked pixels are never
// written, so the nearest unmarked pixels are tracked instead of searched
// for: along the row the last one passed and the end of the current run of
// marks, down each column the last unmarked row passed and the next one
// below. Long runs of marks (whole rows or columns) cost no more than single
// ones. Every pixel outside the examined area is unmarked, so each direction
// finds one.
template <typename Sample>
void ReplaceMarked(const Planes<Sample>& p) {
  const int width = p.frame.Width(), height = p.frame.Height();
  const int end = width - kMargin;
  const uint8_t* marksBase = p.marks.Bits();
  const uint8_t* frameBase = p.frame.Bits();
  const ptrdiff_t marksStride = p.marks.Stride(), frameStride = p.frame.Stride();
  const auto markAt = [&](int y, int x) { return reinterpret_cast<const Sample*>(marksBase + y * marksStride)[x]; };
  const auto valueAt = [&](int y, int x) { return reinterpret_cast<const Sample*>(frameBase + y * frameStride)[x]; };
  // Per column: the value of the last unmarked pixel passed, and the row of
  // the next unmarked pixel below with its value.
  std::array<int, kMaxWidth> above, belowRow, below;
  for (int x = 0; x < width; ++x) above[x] = valueAt(kMargin - 1, x);
  belowRow.fill(0);
  for (int y = kMargin; y < height - kMargin; ++y) {
    const Sample* marks = p.Marks(y);
    Sample* row = p.Frame(y);
    int left = row[kMargin - 1], right = 0, rightValue = 0;
    for (int x = kMargin; x < end; ++x) {
      if (!marks[x]) {
        left = row[x];
        above[x] = row[x];
        continue;
      }
      if (right <= x) {
        for (right = x + 1; marks[right]; ++right) {
        }
        rightValue = row[right];
      }
      if (belowRow[x] <= y) {
        int next = y + 1;
        while (markAt(next, x)) ++next;
        belowRow[x] = next;
        below[x] = valueAt(next, x);
      }
      row[x] = static_cast<Sample>((left + rightValue + above[x] + below[x]) / 4);
    }
  }
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
  ReplaceMarked(p);
}

}  // namespace

void ApplyDotFilter(CDibImage& frame, const DefectMasks& masks, SensorWindow window) {
  if (!masks.hot || !masks.cold || !masks.marks) return;
  if (!CoversFrame(*masks.hot, frame, window) || !CoversFrame(*masks.cold, frame, window)) return;
  // The marks cover the frame itself, not its place on the sensor.
  if (!CoversFrame(*masks.marks, frame, SensorWindow{}) || frame.Width() > kMaxWidth) return;
  if (frame.BitCount() == 8) ReplaceDots(Planes<uint8_t>{frame, *masks.hot, *masks.cold, *masks.marks, window}, 30);
  if (frame.BitCount() == 16) ReplaceDots(Planes<uint16_t>{frame, *masks.hot, *masks.cold, *masks.marks, window}, 480);
}

}  // namespace tevrin::image
