// The images one acquisition reads into and produces: the raw frame of its
// colour mode, the output image, and the sharpening copy, with the filters'
// tables. The images are sized at the acquisition's setup, for its colour
// mode, and reused for every frame; a table is rebuilt when its setting changes.
#pragma once

#include <windows.h>

#include "image/ColorMode.h"
#include "image/DibImage.h"
#include "image/FilterTables.h"
#include "image/ProcessFrame.h"

class CFrameImages {
 public:
  using ColorMode = tevrin::image::ColorMode;

  // Sizes the images `mode` needs at width x height; false when one cannot
  // be made (the images then hold nothing valid).
  bool Size(ColorMode mode, int width, int height);
  ColorMode Mode() const { return mode_; }

  CDibImage& Raw();
  CDibImage& Output();
  tevrin::image::FrameBuffers Buffers();
  tevrin::image::CFilterTables& Tables() { return tables_; }
  // The output as an 8- or 24-bit image a window can show; the 16-bit and
  // the 32- to 64-bit outputs are reduced into Frame8 or Color24 for it.
  const CDibImage& DisplaySource();
  // Copies the output into a caller's buffer: rowOrder nonzero keeps the
  // stored order (the first delivered row first), zero puts the last row
  // first. 0 when the buffer is null or smaller than the image.
  int CopyOutput(BYTE* buffer, int size, int rowOrder);

 private:
  enum Index { kFrame8, kFrame16, kColor24, kColor32, kColor48, kColor64, kSharpenCopy, kCount };
  static Index OutputIndex(ColorMode mode);

  ColorMode mode_ = ColorMode::Gray8;
  CDibImage images_[kCount];
  tevrin::image::CFilterTables tables_;
};
