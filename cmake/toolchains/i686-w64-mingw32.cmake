# Cross build for 32-bit Windows, the game's own platform: scripts/build-windows.sh win32.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUIBBET_MINGW_TRIPLE i686-w64-mingw32)
set(QUIBBET_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
# x87 arithmetic keeps extended precision in registers, so the sound decoder's floats would
# round differently here than in every other build; SSE2 arithmetic gives the same samples.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
