// Our presentation library: the three operations through which the display hands frames
// to the screen. Behind them sits the platform back end's presentation.
#pragma once

#include <cstdint>

void GetDefaultDirectDraw(int32_t width, int32_t height);
void DirectDrawBlit(const uint16_t* pixels);
void CloseDirectDraw();
