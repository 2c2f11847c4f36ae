// Blend mode numbers (`MODE` 0..18) and the colour function of each mode.
//
// blend_byte() is the definition every kernel must reproduce: it gives the
// blended colour byte from the destination byte d (the set's canvas) and the
// source byte s (the child layer). Divisions truncate toward zero and every
// result lies in 0..255.
//
// Only the portable translation units include this header; the vector
// translation units are compiled for other processors and must not pick up
// its inline functions.
#pragma once

#include <cmath>
#include <cstdint>

namespace nv::gfx {

enum BlendMode : uint8_t {
  kModeNormal = 0,
  kModeAdd = 1,
  kModeSubtract = 2,      // max(s - d, 0)
  kModeMultiply = 3,
  kModeDivide = 4,        // s x 255 / d
  kModeScreen = 5,
  kModeLighten = 6,
  kModeDarken = 7,
  kModeDifference = 8,
  kModeExclusion = 9,
  kModeOverlay = 10,
  kModeDodge = 11,
  kModeBurn = 12,
  kModeLinearBurn = 13,
  kModeHardLight = 14,
  kModeSoftLight = 15,
  kModeVividLight = 16,
  kModeLinearLight = 17,
  kModePinLight = 18,
};

inline constexpr int kBlendModeCount = 19;

// floor(a x b / 255) for a, b in 0..255.
constexpr int mul_div255(int a, int b) { return a * b / 255; }

// k of the soft-light mode (15) for destination d and source s, with the
// arithmetic shift it pairs with.
inline int soft_light_factor(int d, int s, int& shift) {
  const double root = std::sqrt(double(256 - d));
  if (s < 128 || d > 32) {
    shift = s < 128 ? 15 : 16;
    return int(16384.0 - root);
  }
  shift = 15;
  return int(16384.0 - double(768 - 8 * d) * root);
}

// f(d, s) of `mode`; a mode outside 0..18 behaves as mode 0.
inline uint8_t blend_byte(int mode, int d, int s) {
  auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
  switch (mode) {
    case kModeAdd: return uint8_t(clamp(d + s));
    case kModeSubtract: return uint8_t(clamp(s - d));
    case kModeMultiply: return uint8_t(mul_div255(d, s));
    case kModeDivide:
      if (d == 0) return s > 0 ? 255 : 0;
      return uint8_t(clamp(s * 255 / d));
    case kModeScreen: return uint8_t(d + s - mul_div255(d, s));
    case kModeLighten: return uint8_t(d > s ? d : s);
    case kModeDarken: return uint8_t(d < s ? d : s);
    case kModeDifference: return uint8_t(d > s ? d - s : s - d);
    case kModeExclusion: return uint8_t(d + s - 2 * mul_div255(d, s));
    case kModeOverlay:
      if (d < 128) return uint8_t(2 * s * d / 255);
      if (d == 128) return uint8_t(s);
      return uint8_t(2 * s * (256 - d) / 255 + 2 * d - 257);
    case kModeDodge: return uint8_t(clamp(d * 256 / (256 - s)));
    case kModeBurn: return uint8_t(clamp(255 - (255 - d) * 256 / (s + 1)));
    case kModeLinearBurn: return uint8_t(clamp(d + s - 255));
    case kModeHardLight:
      if (s < 128) return uint8_t(2 * s * d / 255);
      if (s == 128) return uint8_t(d);
      return uint8_t(2 * d * (256 - s) / 255 + 2 * s - 257);
    case kModeSoftLight: {
      int shift = 15;
      const int k = soft_light_factor(d, s, shift);
      return uint8_t(clamp(d + (((s - 128) * k) >> shift)));
    }
    case kModeVividLight:
      if (s == 0) return 0;
      if (s < 128) return uint8_t(clamp((255 * (2 * s + d) - 65025) / (2 * s)));
      if (s == 255) return 255;
      return uint8_t(clamp(255 * d / (510 - 2 * s)));
    case kModeLinearLight: return uint8_t(clamp(d + 2 * s - 256));
    case kModePinLight:
      if (s < 128) return uint8_t(d < 2 * s ? d : 2 * s);
      return uint8_t(d > 2 * s - 255 ? d : 2 * s - 255);
    default: return uint8_t(s);
  }
}

}  // namespace nv::gfx
