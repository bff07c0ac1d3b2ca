// The device layer writes a frame's rows back to back; the image wants every
// row on its 4-byte stride. Moves the rows in place, last row first, so that
// no byte is overwritten before it has moved. Does nothing when the packed row
// length already equals the stride (640-pixel frames).
#pragma once

class CDibImage;

namespace tevrin::image {

void SpreadRows(CDibImage& image);

}  // namespace tevrin::image
