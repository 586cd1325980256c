// Dimming, and the word rendered once with the intro's font and drawn three times its size.
#include "app/pause_picture.h"

#include "text/font_text.h"

namespace {

constexpr int Enlarged = 3;
constexpr uint16_t Dim = 0x7BEF;  // each channel without its top bit, after halving

struct TLabel {
  std::vector<uint16_t> Pixels;
  int32_t Width = 0;
  int32_t Height = 0;
};

// The word as the font draws it; rendered at the first pause, when the game has already
// shown the font (the intro's pages), and kept.
const TLabel& PausedLabel() {
  static const TLabel label = [] {
    TEngText text(0, 0, nullptr, 0, 1, 1, 1, 6, 1, false, "FONTS", "fixedsys", "PAUSED");
    text.SetTint(0, 0, 40);  // warm yellow on the dimmed frame
    text.RenderText();
    const TSurface& image = text.Image;  // rows without a gap
    return TLabel{{image.Pixels, image.Pixels + static_cast<size_t>(image.Width) * image.Height},
                  image.Width,
                  image.Height};
  }();
  return label;
}

}  // namespace

void MakePausePicture(const uint16_t* frame, int32_t width, int32_t height,
                      std::vector<uint16_t>& picture) {
  const size_t size = static_cast<size_t>(width) * height;
  picture.resize(size);
  for (size_t i = 0; i < size; ++i)
    picture[i] = static_cast<uint16_t>((frame[i] >> 1) & Dim);
  const TLabel& label = PausedLabel();
  const int32_t left = (width - label.Width * Enlarged) / 2;
  const int32_t top = (height - label.Height * Enlarged) / 2;
  for (int32_t y = 0; y < label.Height * Enlarged; ++y)
    for (int32_t x = 0; x < label.Width * Enlarged; ++x) {
      const int32_t px = left + x, py = top + y;
      const uint16_t ink = label.Pixels[(y / Enlarged) * label.Width + x / Enlarged];
      if (ink != 0 && px >= 0 && px < width && py >= 0 && py < height)
        picture[static_cast<size_t>(py) * width + px] = ink;
    }
}
