// USB product IDs the device layer treats specially.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <iterator>

namespace tevrin::device {

// The camera family of this build (IMX990 and IMX991 boards).
inline constexpr int kFamilyProducts[] = {0x3260, 0x3270, 0x3280, 0x3290};
// Products that stream through the memory window instead of the image pipe.
inline constexpr int kStreamProducts[] = {0x3310, 0x3320, 0x3330, 0x3340};
// Products whose correction value lives in board registers 0xD0/0xD2.
inline constexpr int kCorrectionValueProducts[] = {0x3260, 0x3270, 0x3280, 0x3290,
                                                   0x3370, 0x3380, 0x33C0, 0x33D0};
// Products without a board register port: frames come from the auxiliary endpoint.
inline constexpr int kNoRegisterProduct = 0x3042;
// The product with a ring of eight buffers and its own capture rules.
inline constexpr int kLargeRingProduct = 0x32D0;

template <typename List>
bool IsOneOf(int productId, const List& list) {
  return std::find(std::begin(list), std::end(list), productId) != std::end(list);
}

inline bool IsOneOf(int productId, std::initializer_list<int> list) {
  return std::find(list.begin(), list.end(), productId) != list.end();
}

inline bool IsFamilyProduct(int productId) { return IsOneOf(productId, kFamilyProducts); }

}  // namespace tevrin::device
