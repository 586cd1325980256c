// ddlink.dll, our presentation library: the three operations quibbet.exe imports to show its
// frames. Callers examine no result; a replacement with the same three exports serves.
#pragma once

#include <windows.h>

#ifdef QUIBBET_BUILDING_DDLINK
#define DDLINK_API extern "C" __declspec(dllexport)
#else
#define DDLINK_API extern "C" __declspec(dllimport)
#endif

// Presentation in `window` of frames `width` x `height`; called once the display mode is set.
DDLINK_API BOOL WINAPI GetDefaultDirectDraw(HWND window, int width, int height);
// Shows one frame: width x height RGB565 words, top row first, rows 2 x width bytes apart.
// The frame is on screen when this returns, and the caller may overwrite the buffer at once.
DDLINK_API BOOL WINAPI DirectDrawBlit(const void* pixels);
// Ends presentation; the window is left as it is.
DDLINK_API BOOL WINAPI CloseDirectDraw();
