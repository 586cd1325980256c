# The browser build (scripts/build-web.sh, with Debian's Emscripten): the web back end and its
# page in place of SDL, no command line and no PNG frames (the page's address gives the
# options), no tests or benchmarks (they run on the desktop and, against the page, in
# tests/web). The archives come from a native build, whose tools make them.
include_guard(GLOBAL)

set(QUIBBET_SDL OFF CACHE BOOL "Build the SDL2 back end" FORCE)
set(QUIBBET_TESTS OFF CACHE BOOL "Build the tests" FORCE)
set(QUIBBET_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
set(QUIBBET_COMMAND_LINE OFF CACHE BOOL "Build the desktop program" FORCE)
set(QUIBBET_WEB_DATA ${PROJECT_SOURCE_DIR}/build/data
    CACHE PATH "Folder with the four archives made by a native build")
