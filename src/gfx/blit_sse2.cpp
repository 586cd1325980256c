// The SSE2 path of the keyed copy and the blends: eight pixels per step. SSE2 is part of every
// x86-64 processor, so this is the path when AVX2 is missing.
#if defined(__x86_64__) || defined(__i386__)

#include "gfx/blit_sse.h"

namespace {

void KeyedSse2(const TBlitRect& rect, uint16_t key) {
  const __m128i keys = _mm_set1_epi16(static_cast<short>(key));
  const auto op = [keys](__m128i d, __m128i s) { return SseKeyed(d, s, keys); };
  const uint16_t* src = rect.Src;
  uint16_t* dst = rect.Dst;
  for (int32_t row = 0; row < rect.Height; ++row, src += rect.SrcStride, dst += rect.DstStride)
    SseRow(src, dst, rect.Width, op);
}

void AddSse2(const TBlitRect& rect, TBlendAmounts amounts) {
  const TSseAmounts a = SseAmounts(amounts);
  const auto op = [&a](__m128i d, __m128i s) { return SseBlend(d, s, a); };
  const uint16_t* src = rect.Src;
  uint16_t* dst = rect.Dst;
  for (int32_t row = 0; row < rect.Height; ++row, src += rect.SrcStride, dst += rect.DstStride)
    SseRow(src, dst, rect.Width, op);
}

void ShadeAddSse2(const TBlitRect& rect, TBlendAmounts amounts) {
  const TSseAmounts a = SseAmounts(amounts);
  const auto op = [&a](__m128i d, __m128i s) { return SseBlend(s, d, a); };
  const uint16_t* src = rect.Src;
  uint16_t* dst = rect.Dst;
  for (int32_t row = 0; row < rect.Height; ++row, src += rect.SrcStride, dst += rect.DstStride)
    SseRow(src, dst, rect.Width, op);
}

}  // namespace

const TBlitKernels BlitSse2Kernels = {KeyedSse2, AddSse2, ShadeAddSse2};

#endif
