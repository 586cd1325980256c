// The AVX2 path of the keyed copy and the blends: sixteen pixels per step, row ends through the
// shared 128-bit operations. This file alone is built for AVX2 and runs only after the
// processor was asked. It must include nothing that defines inline functions with external
// linkage: the linker could keep this file's AVX2 copy of one for the whole program.
#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#include "gfx/blit_sse.h"

namespace {

struct TAvxAmounts {
  __m256i RedBlue, Green;
};

TAvxAmounts AvxAmounts(TBlendAmounts amounts) {
  return {_mm256_set1_epi16(static_cast<short>(amounts.Red << 11 | amounts.Blue)),
          _mm256_set1_epi16(static_cast<short>(amounts.Green << 5))};
}

// The same lane arithmetic as SseBlend, on sixteen pixels.
inline __m256i AvxBlend(__m256i kept, __m256i reduced, const TAvxAmounts& amounts) {
  const __m256i redBlueMask = _mm256_set1_epi16(static_cast<short>(0xF81F));
  const __m256i greenMask = _mm256_set1_epi16(0x07E0);
  __m256i redBlue = _mm256_subs_epu8(_mm256_and_si256(reduced, redBlueMask), amounts.RedBlue);
  redBlue = _mm256_adds_epu8(_mm256_and_si256(kept, redBlueMask), redBlue);
  redBlue = _mm256_min_epu8(redBlue, redBlueMask);
  __m256i green = _mm256_subs_epu16(_mm256_and_si256(reduced, greenMask), amounts.Green);
  green = _mm256_add_epi16(_mm256_and_si256(kept, greenMask), green);
  green = _mm256_min_epi16(green, greenMask);
  return _mm256_or_si256(redBlue, green);
}

// Sixteen pixels at a time while a whole vector fits, then the row's end through `narrow`.
template <typename TWide, typename TNarrow>
inline void AvxRows(const TBlitRect& rect, TWide wide, TNarrow narrow) {
  const uint16_t* src = rect.Src;
  uint16_t* dst = rect.Dst;
  for (int32_t row = 0; row < rect.Height; ++row, src += rect.SrcStride, dst += rect.DstStride) {
    int32_t i = 0;
    for (; i + 16 <= rect.Width; i += 16) {
      const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
      const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), wide(d, s));
    }
    if (i < rect.Width) SseRow(src + i, dst + i, rect.Width - i, narrow);
  }
}

void KeyedAvx2(const TBlitRect& rect, uint16_t key) {
  const __m256i keys = _mm256_set1_epi16(static_cast<short>(key));
  const __m128i narrowKeys = _mm_set1_epi16(static_cast<short>(key));
  AvxRows(
      rect,
      [keys](__m256i d, __m256i s) {
        return _mm256_blendv_epi8(s, d, _mm256_cmpeq_epi16(s, keys));
      },
      [narrowKeys](__m128i d, __m128i s) { return SseKeyed(d, s, narrowKeys); });
}

void AddAvx2(const TBlitRect& rect, TBlendAmounts amounts) {
  const TAvxAmounts a = AvxAmounts(amounts);
  const TSseAmounts narrow = SseAmounts(amounts);
  AvxRows(
      rect, [&a](__m256i d, __m256i s) { return AvxBlend(d, s, a); },
      [&narrow](__m128i d, __m128i s) { return SseBlend(d, s, narrow); });
}

void ShadeAddAvx2(const TBlitRect& rect, TBlendAmounts amounts) {
  const TAvxAmounts a = AvxAmounts(amounts);
  const TSseAmounts narrow = SseAmounts(amounts);
  AvxRows(
      rect, [&a](__m256i d, __m256i s) { return AvxBlend(s, d, a); },
      [&narrow](__m128i d, __m128i s) { return SseBlend(s, d, narrow); });
}

}  // namespace

const TBlitKernels BlitAvx2Kernels = {KeyedAvx2, AddAvx2, ShadeAddAvx2};

#endif
