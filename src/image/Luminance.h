// Gray mode 2: the grey level of a demosaicked colour frame.
#pragma once

class CDibImage;

namespace tevrin::image {

// Y = (30 R + 59 G + 11 B) / 100 of every pixel of a 24-bit image into an
// 8-bit image of the same size. Returns false for any other pair.
bool WriteLuminance(CDibImage& gray, const CDibImage& color);

}  // namespace tevrin::image
