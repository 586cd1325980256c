# Cross build for 32-bit Windows, the game's own platform: scripts/build-windows.sh win32.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUIBBET_MINGW_TRIPLE i686-w64-mingw32)
set(QUIBBET_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
