# Cross build for 64-bit Windows: scripts/build-windows.sh win64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUIBBET_MINGW_TRIPLE x86_64-w64-mingw32)
set(QUIBBET_WINE_NAMES wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
