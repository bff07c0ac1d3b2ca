// The colour filter array repeats every 2 x 2 pixels. BayerMode (0..3) says
// where the pattern starts: the pixel at memory row y, column x lies in cell
// (a, b) with a = (y mod 2) XOR (mode mod 2), b = (x mod 2) XOR (mode div 2).
// Green sits at cells (0,0) and (1,1), blue at (0,1), red at (1,0).
#pragma once

namespace tevrin::image {

struct BayerCell {
  int a;
  int b;
};

inline BayerCell CellAt(int y, int x, int bayerMode) {
  return {(y & 1) ^ (bayerMode & 1), (x & 1) ^ ((bayerMode >> 1) & 1)};
}

// Index 0..3 of a cell: 2a + b, the order (0,0), (0,1), (1,0), (1,1).
inline int CellIndex(BayerCell cell) {
  return 2 * cell.a + cell.b;
}

inline constexpr BayerCell kBlueCell{0, 1};
inline constexpr BayerCell kRedCell{1, 0};

// Mirroring a frame moves the pattern when the mirrored dimension is even: a
// vertical mirror flips the row phase (modes 0<->1, 2<->3), a horizontal one
// the column phase (0<->2, 1<->3). The demosaic and the white balance use the
// adjusted mode so that a mirrored frame keeps its colours.
inline int MirroredBayerMode(int bayerMode, bool mirrorH, bool mirrorV, int width, int height) {
  int mode = bayerMode & 3;
  if (mirrorV && height % 2 == 0) mode ^= 1;
  if (mirrorH && width % 2 == 0) mode ^= 2;
  return mode;
}

}  // namespace tevrin::image
