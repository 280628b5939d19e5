#pragma once
// The colour type of the whole system: red, green, blue, alpha in 0..1.

#include <cstdint>

namespace lumetra {

struct Color {
  // The single-precision value nearest 1/255 (bit pattern 0x3B808081).
  static constexpr float kByteScale = 0.003921569f;

  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 1.0f;

  // Opaque black.
  constexpr Color() = default;
  constexpr Color(float red, float green, float blue, float alpha) : r(red), g(green), b(blue), a(alpha) {}
  // From 0xAARRGGBB; each byte times kByteScale.
  explicit constexpr Color(std::uint32_t packed)
      : r(static_cast<float>((packed >> 16) & 0xFFu) * kByteScale),
        g(static_cast<float>((packed >> 8) & 0xFFu) * kByteScale),
        b(static_cast<float>(packed & 0xFFu) * kByteScale),
        a(static_cast<float>((packed >> 24) & 0xFFu) * kByteScale) {}

  friend constexpr bool operator==(const Color&, const Color&) = default;
};

}  // namespace lumetra
