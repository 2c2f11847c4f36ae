// The vector kernels, written once over the compiler's generic vectors and
// compiled twice: blend_kernels_sse2.cpp (16-byte vectors) and
// blend_kernels_avx2.cpp (32-byte vectors) include this file inside their
// own namespace after defining NV_VEC_BYTES, so the two instances never meet
// at link time.
//
// Every form is computed in 16-bit lanes with exact integer arithmetic:
// d + (((f - d) x w) >> 8) equals (d x (256 - w) + f x w) >> 8, whose terms
// never exceed 65280; the 16-bit rule-with-alpha weight is split into its
// high and low bytes (see rule_alpha_step). The last pixels of a row that do
// not fill a vector go through the portable kernel.
//
// Do not include anything here that has inline functions of its own: this
// code is compiled for a processor the rest of the program may not assume.

// (no include guard: included once per vector translation unit)

// These helpers are internal to one translation unit: the ABI of wide
// vector arguments does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

// A step takes one register of pixel bytes and splits it into two
// registers of 16-bit lanes with the in-lane unpack instructions; packing
// the two back restores the pixel order. Each half holds whole pixels
// (which ones does not matter: every lane op stays inside its pixel).
constexpr int kBytes = NV_VEC_BYTES;  // pixel bytes per step
constexpr int kPixels = kBytes / 4;

typedef uint8_t V8 __attribute__((vector_size(kBytes)));
typedef uint16_t V16 __attribute__((vector_size(kBytes)));
typedef int16_t S16 __attribute__((vector_size(kBytes)));
typedef uint32_t V32 __attribute__((vector_size(kBytes)));
typedef uint64_t V64 __attribute__((vector_size(kBytes)));

#if NV_VEC_BYTES == 32
typedef __m256i R;
inline R unpack_lo8(R a, R b) { return _mm256_unpacklo_epi8(a, b); }
inline R unpack_hi8(R a, R b) { return _mm256_unpackhi_epi8(a, b); }
inline R unpack_lo32(R a, R b) { return _mm256_unpacklo_epi32(a, b); }
inline R unpack_hi32(R a, R b) { return _mm256_unpackhi_epi32(a, b); }
inline R pack16(R a, R b) { return _mm256_packus_epi16(a, b); }
#else
typedef __m128i R;
inline R unpack_lo8(R a, R b) { return _mm_unpacklo_epi8(a, b); }
inline R unpack_hi8(R a, R b) { return _mm_unpackhi_epi8(a, b); }
inline R unpack_lo32(R a, R b) { return _mm_unpacklo_epi32(a, b); }
inline R unpack_hi32(R a, R b) { return _mm_unpackhi_epi32(a, b); }
inline R pack16(R a, R b) { return _mm_packus_epi16(a, b); }
#endif

// The two halves of a step's bytes as 16-bit lanes, and back (the values
// are 0..255, so the saturating pack is exact).
inline V16 low_half(V8 v) { return (V16)unpack_lo8((R)v, R{}); }
inline V16 high_half(V8 v) { return (V16)unpack_hi8((R)v, R{}); }
inline V8 pack(V16 lo, V16 hi) { return (V8)pack16((R)lo, (R)hi); }
// Per-pixel 32-bit values split the same way as the pixels, one per
// 64-bit lane.
inline V64 low_pixels(V32 v) { return (V64)unpack_lo32((R)v, R{}); }
inline V64 high_pixels(V32 v) { return (V64)unpack_hi32((R)v, R{}); }

inline V8 load8(const uint8_t* p) {
  V8 v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
inline void store8(uint8_t* p, V8 v) { __builtin_memcpy(p, &v, sizeof v); }
inline V16 as16(V64 v) { return (V16)v; }
inline V64 as64(V16 v) { return (V64)v; }

// A per-pixel value x (0..65535) as 16-bit lanes x, x, x, 0.
inline V16 colour_lanes(V64 x) { return as16(x | (x << 16) | (x << 32)); }

inline V16 vmin(V16 a, V16 b) { return a < b ? a : b; }
inline V16 vmax(V16 a, V16 b) { return a > b ? a : b; }

// floor(x / 255) for x in 0..65025 (exact in 16 bits).
inline V16 div255(V16 x) { return (x + 1 + (x >> 8)) >> 8; }

// (d x (256 - w) + f x w) >> 8 with w in 0..256.
inline V16 mix(V16 d, V16 f, V16 w) { return (d * (256 - w) + f * w) >> 8; }

// The table-driven modes: f(d, s) looked up byte by byte.
inline V8 lookup(const uint8_t* table, V8 d, V8 s) {
  V8 f;
  for (int i = 0; i < kBytes; ++i) f[i] = table[int(s[i]) * 256 + int(d[i])];
  return f;
}

template <int Mode>
inline constexpr bool kTableMode = Mode == 4 || Mode == 11 || Mode == 12 || Mode == 15 || Mode == 16;

// f(d, s) of the computed modes in 16-bit lanes.
template <int Mode>
inline V16 mode_f(V16 d, V16 s) {
  if constexpr (Mode == 0) {
    return s;
  } else if constexpr (Mode == 1) {
    return vmin(d + s, V16{} + 255);
  } else if constexpr (Mode == 2) {
    return s > d ? s - d : V16{};
  } else if constexpr (Mode == 3) {
    return div255(d * s);
  } else if constexpr (Mode == 5) {
    return d + s - div255(d * s);
  } else if constexpr (Mode == 6) {
    return vmax(d, s);
  } else if constexpr (Mode == 7) {
    return vmin(d, s);
  } else if constexpr (Mode == 8) {
    return vmax(d, s) - vmin(d, s);
  } else if constexpr (Mode == 9) {
    return d + s - 2 * div255(d * s);
  } else if constexpr (Mode == 10 || Mode == 14) {
    // Overlay keys on d, hard light on s.
    const V16 k = Mode == 10 ? d : s;
    const V16 o = Mode == 10 ? s : d;
    const V16 low = div255(2 * o * k);
    const V16 high = div255(2 * o * (256 - k)) + 2 * k - 257;
    return k < 128 ? low : (k == 128 ? o : high);
  } else if constexpr (Mode == 13) {
    return d + s > 255 ? d + s - 255 : V16{};
  } else if constexpr (Mode == 17) {
    const V16 t = d + 2 * s;
    return t < 256 ? V16{} : vmin(t - 256, V16{} + 255);
  } else if constexpr (Mode == 18) {
    return s < 128 ? vmin(d, 2 * s) : vmax(d, 2 * s - 255);
  } else {
    static_assert(Mode < 0, "table mode");
    return s;
  }
}

// The rule weights (0..256, one per pixel) as the 16-bit lanes w, w, w, 0
// of the pixels of the low and high halves of a step.
#if NV_VEC_BYTES == 32
inline V16 weight_lanes(V32 w, bool high) {
  const R lo = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, -1, -1, 4, 5, 4, 5, 4, 5, -1, -1, 0, 1, 0, 1, 0, 1, -1, -1, 4, 5, 4,
                                5, 4, 5, -1, -1);
  const R hi = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, -1, -1, 12, 13, 12, 13, 12, 13, -1, -1, 8, 9, 8, 9, 8, 9, -1, -1,
                                12, 13, 12, 13, 12, 13, -1, -1);
  return (V16)_mm256_shuffle_epi8((R)w, high ? hi : lo);
}
// The source alpha of each pixel of a half (16-bit lanes) as s_a, s_a, s_a, 0.
inline V16 alpha_lanes(V16 s) {
  const R m = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, -1, -1, 14, 15, 14, 15, 14, 15, -1, -1, 6, 7, 6, 7, 6, 7, -1, -1, 14,
                               15, 14, 15, 14, 15, -1, -1);
  return (V16)_mm256_shuffle_epi8((R)s, m);
}
#else
inline V16 weight_lanes(V32 w, bool high) { return colour_lanes(high ? high_pixels(w) : low_pixels(w)); }
inline V16 alpha_lanes(V16 s) { return colour_lanes(as64(s) >> 48); }
#endif
// 1 on the colour lanes, 0 on the alpha lane.
inline V16 colour_ones() { return colour_lanes(V64{} + 1); }

// The byte halves of the rule-with-alpha weights of one half of a step, as
// colour lanes: with c = 65536 - v split into bytes c1 c0 and v into v1 v0
// (v in 0..65536, one per pixel in 32-bit lanes), c1 carries 256 on the
// alpha lane so that the alpha byte keeps d.
struct RuleAlphaLanes {
  V16 c1, c0, v1, v0;
};

inline RuleAlphaLanes rule_alpha_lanes(V32 v, bool high) {
  const V32 c = 65536 - v;
  return {weight_lanes(c >> 8, high) + as16(V64{} + (uint64_t(256) << 48)), weight_lanes(c & 255, high),
          weight_lanes(v >> 8, high), weight_lanes(v & 255, high)};
}

// d + (((f - d) x v) >> 16) on the colour lanes (the alpha lane keeps d):
// ((d c1 + f v1) + ((d c0 + f v0) >> 8)) >> 8, every term within 16 bits
// (c1 + v1 <= 256, and c0 + v0 is 0 or 256).
inline V16 rule_alpha_step(V16 d, V16 f, const RuleAlphaLanes& w) {
  const V16 high = d * w.c1 + f * w.v1;
  const V16 low = d * w.c0 + f * w.v0;
  return (high + (low >> 8)) >> 8;
}

// One half of a step: d, s and f = f(d, s) in 16-bit lanes, v the rule
// weights of its pixels (rule forms).
template <int Mode, int Form>
inline V16 blend_half(const BlendRow& r, V16 d, V16 s, V16 f, V64 v) {
  if constexpr (Form == 0) {
    return f;
  } else if constexpr (Form == 1) {
    const uint16_t a = uint16_t(r.opacity);
    if constexpr (Mode == 8) {
      const V16 t = (vmax(d, f) - vmin(d, f)) * a >> 8;
      return f > d ? d + t : d - t;
    } else {
      return mix(d, f, V16{} + a);
    }
  } else if constexpr (Form == 2) {
    return mix(d, f, alpha_lanes(s) + colour_ones());
  } else if constexpr (Form == 3) {
    const uint16_t a = uint16_t(r.opacity);
    if constexpr (Mode == 0) {
      const V16 w = (alpha_lanes(s) * a) >> 8;
      return ((d * (256 - w)) >> 8) + (((w + 1) * s) >> 8);
    } else {
      return mix(d, f, ((alpha_lanes(s) + colour_ones()) * a) >> 8);
    }
  } else {
    static_assert(Form == 4, "the rule-with-alpha form is blended in chunk()");
    return mix(d, f, as16(v));  // v: the weight lanes
  }
}

template <int Mode, int Form>
inline void chunk(const BlendRow& r, int32_t p, V32 w) {
  uint8_t* dp = r.dst + p * 4;
  const uint8_t* sp = r.src + p * 4;
  const V8 d8 = load8(dp);
  const V8 s8 = load8(sp);
  V64 v_lo{}, v_hi{};
  if constexpr (Form == 4) {
    v_lo = as64(weight_lanes(w, false));
    v_hi = as64(weight_lanes(w, true));
  }
  const V16 d_lo = low_half(d8), d_hi = high_half(d8);
  const V16 s_lo = low_half(s8), s_hi = high_half(s8);
  V16 f_lo, f_hi;
  if constexpr (kTableMode<Mode>) {
    const V8 f8 = lookup(r.mode_table, d8, s8);
    f_lo = low_half(f8);
    f_hi = high_half(f8);
  } else {
    f_lo = mode_f<Mode>(d_lo, s_lo);
    f_hi = mode_f<Mode>(d_hi, s_hi);
  }
  if constexpr (Form == 5) {
    // The weight times the source alpha (mode 0: sa, else sa + 1), at most
    // 65536, is formed in 32-bit lanes before it is split into bytes.
    const V32 sa = ((V32)s8 >> 24) + (Mode == 0 ? 0u : 1u);
    const V32 v = w * sa;
    store8(dp, pack(rule_alpha_step(d_lo, f_lo, rule_alpha_lanes(v, false)),
                    rule_alpha_step(d_hi, f_hi, rule_alpha_lanes(v, true))));
  } else {
    store8(dp, pack(blend_half<Mode, Form>(r, d_lo, s_lo, f_lo, v_lo), blend_half<Mode, Form>(r, d_hi, s_hi, f_hi, v_hi)));
  }
}

template <int Mode, int Form>
void kernel(const BlendRow& in) {
  // A local copy: the compiler then knows the pixel stores cannot change
  // the row's pointers, and keeps them in registers.
  const BlendRow r = in;
  const int32_t whole = r.width / kPixels * kPixels;
  if constexpr (Form == 0 && Mode == 0) {
    __builtin_memcpy(r.dst, r.src, size_t(r.width) * 4);
    return;
  }
  if constexpr (Form == 3 && Mode != 0) {
    // At full opacity the weight is sa + 1, which the 16-bit product
    // (sa + 1) x 256 cannot hold: that is the alpha_full form exactly.
    if (r.opacity >= 256) {
      kernel<Mode, 2>(r);
      return;
    }
  }
  if constexpr (Form >= 4) {
    // The rule weights of a step are looked up with plain loads straight
    // into a register (quicker than a vector gather on every processor we
    // met).
    const uint32_t* table = r.rule_table;
    for (int32_t p = 0; p < whole; p += kPixels) {
      const uint8_t* rule = r.rule + p * 4;
      V32 w;
#pragma GCC unroll 8
      for (int k = 0; k < kPixels; ++k) w[k] = table[rule[k * 4]];
      chunk<Mode, Form>(r, p, w > 1 ? w : V32{});
    }
  } else {
    for (int32_t p = 0; p < whole; p += kPixels) chunk<Mode, Form>(r, p, V32{});
  }
  if (whole < r.width) {
    BlendRow tail = r;
    tail.dst += whole * 4;
    tail.src += whole * 4;
    if (tail.rule) tail.rule += whole * 4;
    tail.width = r.width - whole;
    scalar_kernel(KernelForm(Form), Mode)(tail);
  }
}

template <int Form, int... Modes>
constexpr void fill_form(KernelTable& k) {
  ((k[Form][Modes] = &kernel<Modes, Form>), ...);
}

template <int... Modes>
constexpr void fill_all(KernelTable& k) {
  fill_form<0, Modes...>(k);
  fill_form<1, Modes...>(k);
  fill_form<2, Modes...>(k);
  fill_form<3, Modes...>(k);
  fill_form<4, Modes...>(k);
  fill_form<5, Modes...>(k);
}

void fill_pixels_vec(uint32_t* dst, uint32_t value, int64_t pixels) {
  const V32 v = V32{} + value;
  int64_t i = 0;
  for (; i + kPixels <= pixels; i += kPixels) __builtin_memcpy(dst + i, &v, sizeof v);
  for (; i < pixels; ++i) dst[i] = value;
}

void fill_bytes_vec(uint8_t* dst, uint8_t value, int64_t bytes) { __builtin_memset(dst, value, size_t(bytes)); }

void copy_bytes_vec(uint8_t* dst, const uint8_t* src, int64_t bytes) {
  __builtin_memmove(dst, src, size_t(bytes));
}

void cross_fade_vec(uint8_t* dst, const uint8_t* p, const uint8_t* q, int64_t bytes, int32_t v) {
  const V16 w = V16{} + uint16_t(v);
  int64_t i = 0;
  for (; i + kBytes <= bytes; i += kBytes) {
    const V8 a = load8(p + i), b = load8(q + i);
    store8(dst + i, pack(mix(low_half(a), low_half(b), w), mix(high_half(a), high_half(b), w)));
  }
  for (; i < bytes; ++i) dst[i] = uint8_t(p[i] + (((q[i] - p[i]) * v) >> 8));
}

struct VectorTable {
  KernelTable k{};
  constexpr VectorTable() { fill_all<0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18>(k); }
};

void fill_vector_routines(RoutineSet& out) {
  constexpr VectorTable table{};
  for (int f = 0; f < kKernelFormCount; ++f) {
    for (int m = 0; m < kKernelModeCount; ++m) out.kernels[f][m] = table.k[f][m];
  }
  out.fill_bytes = &fill_bytes_vec;
  out.fill_pixels = &fill_pixels_vec;
  out.copy_bytes = &copy_bytes_vec;
  out.cross_fade = &cross_fade_vec;
}
