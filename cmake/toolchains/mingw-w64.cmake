# What both Windows toolchains share: Debian's mingw-w64 compilers in their POSIX thread model
# (whole std::thread and clocks in the C++ library), static programs, and the folder of
# libraries built for the target (QUIBBET_WINDOWS_DEPS, see scripts/build-windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QUIBBET_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUIBBET_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUIBBET_MINGW_TRIPLE}-windres)

# Programs carry their C and C++ runtimes and the thread library, so the zip needs no DLL
# of the compiler's beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Headers and libraries come from the target's own tree and the built dependencies only,
# never from the build machine's /usr/include; programs to run come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUIBBET_MINGW_TRIPLE})
if(DEFINED ENV{QUIBBET_WINDOWS_DEPS})
  set(QUIBBET_WINDOWS_DEPS $ENV{QUIBBET_WINDOWS_DEPS})
endif()
if(QUIBBET_WINDOWS_DEPS)
  list(PREPEND CMAKE_FIND_ROOT_PATH ${QUIBBET_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The zlib import library would tie the programs to zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# Wine runs the tests when it is there (ctest and gtest's test discovery use it).
find_program(QUIBBET_WINE NAMES ${QUIBBET_WINE_NAMES} PATHS /usr/lib/wine NO_CACHE)
if(QUIBBET_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUIBBET_WINE})
endif()
