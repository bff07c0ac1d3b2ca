// The conversions that reduce or widen an output image for the display, the
// still-image writers and the AVI recorder, run through CDibImage::Apply.
// "Flipped" routines write the source rows in reverse order, for consumers
// that store pictures bottom-up; the others keep the row order. 16-bit samples
// are little-endian words; colour pixels hold B, G, R (and a fourth byte or word).
#pragma once

#include "image/PixelRoutine.h"

namespace tevrin::image {

// Display of the colour modes, same row order.
extern const PixelRoutine kDisplayGray16;   // 16 -> 8 bits: high byte
extern const PixelRoutine kDisplayColor32;  // 32 -> 24 bits: bytes 0, 1, 2
extern const PixelRoutine kDisplayColor48;  // 48/64 -> 24 bits: each channel >> 4, low 8 bits kept

// Display scaling to the whole destination, nearest neighbour, flipped.
extern const PixelRoutine kScaleGray8;    // 8 -> 8 bits
extern const PixelRoutine kScaleColor24;  // 24 -> 24 bits

// Still images and the recorder, flipped.
extern const PixelRoutine kCopyRowsFlipped;     // any -> same format: min(strides) bytes per row
extern const PixelRoutine kReduceColor48;       // 48/64 -> 24 bits: high byte of B, G, R
extern const PixelRoutine kCopyColor24Flipped;  // 24/32 -> 24 bits: B, G, R
// 16 -> 8 bits for 10, 12 or 16 significant bits (value >> 2, >> 4, >> 8);
// a routine without function (Apply does nothing) for other bit counts.
PixelRoutine ReduceGray16(int significantBits);

// Widening of 10 or 12 significant bits to the full word (<< 6 or << 4),
// same row order; a routine without function for other bit counts.
PixelRoutine WidenGray16(int significantBits);          // 16 -> 16 bits
PixelRoutine WidenColor48(int significantBits);         // 48 -> 48 bits
PixelRoutine WidenColor48Swapped(int significantBits);  // 48 -> 48 bits, written R, G, B
PixelRoutine WidenColor64(int significantBits);         // 48/64 -> 64 bits, fourth word 0xFFFF
PixelRoutine WidenColor64Swapped(int significantBits);  // the same written R, G, B

// Byte orders, same row order.
extern const PixelRoutine kSwapColor24;  // 24/32 -> 24/32 bits: writes R, G, B
extern const PixelRoutine kAlpha32;      // 32 -> 32 bits: B, G, R and the inverted fourth byte

}  // namespace tevrin::image
