// <windows.h> for the back end's files. Its A/W macros PeekMessage, PostMessage, MessageBox
// and DefWindowProc would rename the methods of TPlatform that carry those names, so they go.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef PeekMessage
#undef PostMessage
#undef MessageBox
#undef DefWindowProc
