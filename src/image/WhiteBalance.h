// The automatic white balance: red and blue gains that bring the means of the
// red and blue samples of a raw frame to the mean of its green samples.
#pragma once

class CDibImage;

namespace tevrin::image {

struct WhiteBalanceGains {
  int red = 100;
  int green = 100;
  int blue = 100;
};

// 100 x mean(green) / mean(colour), truncated and limited to 400; all samples
// count. A colour without samples or with a zero mean keeps its gain in
// `gains`. Returns false, leaving `gains` alone, for a frame without green.
bool MeasureWhiteBalance(const CDibImage& raw, int bayerMode, WhiteBalanceGains& gains);

}  // namespace tevrin::image
