// The numbers in which the IMX99x sensors differ: sensor area, power-on
// values and limits, model codes, and the frame timing rules.
#pragma once

#include <cstdint>

struct Imx99xModel {
  int maxWidth;
  int maxHeight;
  int lineLength;   // power-on value of the description block
  int frameLength;  // power-on value of the description block
  int expLinesMin;
  int expLinesMax;
  int expLinesDefault;
  int expTimeDefault;  // 0.1 ms units
  double expSecMin;
  double expSecMinFast;  // 0: the same on the fast board
  double expSecDefault;
  int bottomUpCode;  // model code of the variant that reads rows bottom-up
  int topDownCode;   // model code of the variant with rows top-down and a cooler
  // Lines between the shutter line and the end of the frame, at least.
  uint32_t shutterMargin;
  // Frame length and shutter line must be even; exposure lines below the
  // minimum are raised to it.
  bool evenLines;
  // Row count bases of the frame length: full window and half-resolution readout.
  int fullRowBasis;
  int binnedRowBasis;
  // Bits 8.. of the window registers the sensor keeps.
  uint8_t windowHighMask;
};

namespace imx99x {
inline constexpr Imx99xModel kImx990{1280,       1024,   1376, 1048, 15, 16777214, 1064, 138, 2.0333e-05,
                                     1.4252e-05, 0.0138, 109,  110,  15, false,    1068, 552, 0x07};
inline constexpr Imx99xModel kImx991{640,        512,   736, 536, 15, 16777214, 539, 70,  2.0333e-05,
                                     1.4252e-05, 0.007, 111, 112, 15, false,    556, 296, 0x07};
inline constexpr Imx99xModel kImx992{2560, 2048,       2592, 2140, 2,  16777177, 2102, 137,  1.304e-05,
                                     0,    0.01370504, 129,  130,  52, true,     2092, 1064, 0x0F};
inline constexpr Imx99xModel kImx993{2048, 1536,        2080, 1628, 2,  16777163, 1576, 102, 2.7842e-05,
                                     0,    0.010290322, 131,  132,  52, true,     1580, 808, 0x0F};
}  // namespace imx99x
