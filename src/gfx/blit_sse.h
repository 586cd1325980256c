// The 128-bit pixel operations shared by the SSE2 and AVX2 paths: eight pixels per vector, with
// loads and stores of 4, 2 and 1 pixels for row ends. Everything here has internal linkage, so
// each path's file gets its own copy built with its own instruction set.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "gfx/blit_paths.h"

// Red and blue share one set of byte lanes: red sits in the top five bits of a pixel's high byte
// and blue in the low five bits of its low byte, so byte-wide saturating arithmetic treats both
// at once. Green straddles the two bytes and takes 16-bit lanes in its own place (bits 5 to 10).
struct TSseAmounts {
  __m128i RedBlue, Green;
};

static inline TSseAmounts SseAmounts(TBlendAmounts amounts) {
  return {_mm_set1_epi16(static_cast<short>(amounts.Red << 11 | amounts.Blue)),
          _mm_set1_epi16(static_cast<short>(amounts.Green << 5))};
}

// kept + max(reduced - amounts, 0) per channel, saturated at the channel's top: Add keeps the
// surface and reduces the image, ShadeAdd the other way round.
static inline __m128i SseBlend(__m128i kept, __m128i reduced, const TSseAmounts& amounts) {
  const __m128i redBlueMask = _mm_set1_epi16(static_cast<short>(0xF81F));
  const __m128i greenMask = _mm_set1_epi16(0x07E0);
  // Red's byte saturates at 255 and blue's stays below 64; the minimum with the mask brings
  // both back to their tops (0xF8 and 0x1F) and leaves every smaller sum alone.
  __m128i redBlue = _mm_subs_epu8(_mm_and_si128(reduced, redBlueMask), amounts.RedBlue);
  redBlue = _mm_adds_epu8(_mm_and_si128(kept, redBlueMask), redBlue);
  redBlue = _mm_min_epu8(redBlue, redBlueMask);
  // Green sums stay below 0x1000, so a plain add and a signed minimum are exact.
  __m128i green = _mm_subs_epu16(_mm_and_si128(reduced, greenMask), amounts.Green);
  green = _mm_add_epi16(_mm_and_si128(kept, greenMask), green);
  green = _mm_min_epi16(green, greenMask);
  return _mm_or_si128(redBlue, green);
}

static inline __m128i SseKeyed(__m128i dst, __m128i src, __m128i key) {
  const __m128i transparent = _mm_cmpeq_epi16(src, key);
  return _mm_or_si128(_mm_and_si128(transparent, dst), _mm_andnot_si128(transparent, src));
}

// Runs `op(dst, src)` over `count` pixels of one row: whole vectors first, then the row's end
// as 4, 2 and 1 pixel pieces through the same operation, so every pixel gets identical
// arithmetic and nothing past the row is read or written.
template <typename TOp>
static inline void SseRow(const uint16_t* src, uint16_t* dst, int32_t count, TOp op) {
  int32_t i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), op(d, s));
  }
  if (count - i >= 4) {
    const __m128i s = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(dst + i));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + i), op(d, s));
    i += 4;
  }
  if (count - i >= 2) {
    const __m128i s = _mm_loadu_si32(src + i);
    const __m128i d = _mm_loadu_si32(dst + i);
    _mm_storeu_si32(dst + i, op(d, s));
    i += 2;
  }
  if (count - i >= 1) {
    const __m128i s = _mm_cvtsi32_si128(src[i]);
    const __m128i d = _mm_cvtsi32_si128(dst[i]);
    dst[i] = static_cast<uint16_t>(_mm_cvtsi128_si32(op(d, s)));
  }
}
