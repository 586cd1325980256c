// Presentation forwarded to the platform back end; no result is reported, as callers
// examine none.
#include "gfx/ddlink.h"

#include "platform/platform.h"

void GetDefaultDirectDraw(int32_t width, int32_t height) {
  CurrentPlatform().OpenPresentation(width, height);
}

void DirectDrawBlit(const uint16_t* pixels) {
  CurrentPlatform().Present(pixels);
}

void CloseDirectDraw() {
  CurrentPlatform().ClosePresentation();
}
