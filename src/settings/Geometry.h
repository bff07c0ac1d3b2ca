#pragma once

// The image window of one camera: total size, effective (delivered) size, the
// start of the effective window and the buffer count of its size entry.
struct Geometry {
  static constexpr int kMaxWidth = 640;
  static constexpr int kMaxHeight = 512;

  int TH = kMaxWidth;
  int TV = kMaxHeight;
  int EH = kMaxWidth;
  int EV = kMaxHeight;
  int EHS = 0;
  int EVS = 0;
  int Buf = 4;

  bool operator==(const Geometry&) const = default;
};

// The effective window lies inside the sensor and the subsampling is one the
// camera can deliver.
inline bool IsValidWindow(const Geometry& g, int subSample) {
  const bool inside = g.EH >= 0 && g.EV >= 0 && g.EHS >= 0 && g.EVS >= 0 && g.EH <= Geometry::kMaxWidth &&
                      g.EV <= Geometry::kMaxHeight && g.EHS <= Geometry::kMaxWidth && g.EVS <= Geometry::kMaxHeight &&
                      g.EH + g.EHS <= Geometry::kMaxWidth && g.EV + g.EVS <= Geometry::kMaxHeight;
  const bool deliverable = subSample != 2 && subSample != 3 && (subSample < 17 || subSample > 19);
  return inside && deliverable;
}

// Each side of the delivered frame is the effective size divided by this.
inline int SubSampleDivisor(int subSample) {
  switch (subSample) {
    case 1:
    case 17:
      return 2;
    case 2:
    case 18:
      return 4;
    case 3:
    case 19:
      return 8;
    default:
      return 1;
  }
}
