#pragma once
// The 16 default colours that metrics and areas without a colour of their own
// take in turn, packed 0xAARRGGBB.

#include <cstdint>

#include "settings/Color.h"

namespace lumetra {

inline constexpr std::uint32_t PALETTE[16] = {
    0xDD000000, 0xFF7590AE, 0xFFB39169, 0xFF83A67F, 0xFF990000, 0xFFD1940C, 0xFF625B81, 0xFF5D7555,
    0xFFC1665A, 0xFFDF421E, 0xFF884631, 0xFF46A046, 0xFFADA7C8, 0xFFEED680, 0xFF494066, 0xFF807D74,
};

// Palette entry (index mod 16) as a colour; negative indices wrap as well.
inline Color paletteColor(int index) {
  int entry = index % 16;
  if (entry < 0) entry += 16;
  return Color(PALETTE[entry]);
}

}  // namespace lumetra
