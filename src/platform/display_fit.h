// How the frame is fitted to the screen and how a pointer position finds its frame pixel:
// plain geometry in output pixels, shared by the back ends that scale the frame (SDL, web) and
// tested without a display.
#pragma once

#include <algorithm>
#include <cstdint>

enum class TFitMode {
  Sharp,    // nearest neighbour to the largest whole multiple that fits, then smoothed
  Integer,  // whole multiples only, with wider borders
};

struct TFitRect {
  int X = 0;
  int Y = 0;
  int W = 0;
  int H = 0;
};

struct TFrameFit {
  int Multiple = 1;     // the frame is first enlarged this many times by nearest neighbour
  bool Smooth = false;  // ... and then smoothed from there to the size of Target
  TFitRect Target;      // where the frame lands in the output, borders around it black
};

// The frame's aspect kept inside an output of outW x outH pixels, centred.
inline TFrameFit FitFrame(int outW, int outH, int frameW, int frameH, TFitMode mode) {
  TFrameFit fit;
  if (outW <= 0 || outH <= 0 || frameW <= 0 || frameH <= 0) return fit;
  const int whole = std::min(outW / frameW, outH / frameH);
  fit.Multiple = std::max(1, whole);
  if (mode == TFitMode::Integer && whole >= 1) {
    fit.Target.W = whole * frameW;
    fit.Target.H = whole * frameH;
  } else {
    // The side that runs out first decides; 64 bits since a 16k screen times a frame side
    // is beyond what int guarantees. An output smaller than the frame is scaled down:
    // a smaller picture beats a cut one, whatever the mode.
    const int64_t byWidth = static_cast<int64_t>(outW) * frameH;
    const int64_t byHeight = static_cast<int64_t>(outH) * frameW;
    if (byWidth <= byHeight) {
      fit.Target.W = outW;
      fit.Target.H = static_cast<int>((byWidth + frameW / 2) / frameW);
    } else {
      fit.Target.H = outH;
      fit.Target.W = static_cast<int>((byHeight + frameH / 2) / frameH);
    }
  }
  fit.Smooth = fit.Target.W != fit.Multiple * frameW || fit.Target.H != fit.Multiple * frameH;
  fit.Target.X = (outW - fit.Target.W) / 2;
  fit.Target.Y = (outH - fit.Target.H) / 2;
  return fit;
}

struct TFramePoint {
  int X = 0;
  int Y = 0;
};

// The frame pixel under a pointer at window position (x, y). Pointer positions come in
// window units, which differ from output pixels on high-DPI screens; positions in the
// borders, or outside the window, land on the nearest edge of the frame.
inline TFramePoint PointerToFrame(int x, int y, int windowW, int windowH, int outW, int outH,
                                  const TFitRect& target, int frameW, int frameH) {
  auto axis = [](int pos, int windowSize, int outSize, int start, int size, int frameSize) {
    if (windowSize <= 0 || size <= 0) return 0;
    // Output pixel first, then the frame pixel, rounding down in both steps.
    const int64_t out = static_cast<int64_t>(pos) * outSize / windowSize;
    if (out < start) return 0;
    const int64_t frame = (out - start) * frameSize / size;
    return static_cast<int>(std::min<int64_t>(frame, frameSize - 1));
  };
  return {axis(x, windowW, outW, target.X, target.W, frameW),
          axis(y, windowH, outH, target.Y, target.H, frameH)};
}
