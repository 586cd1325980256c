# The browser build (scripts/build-web.sh, with Debian's Emscripten): the web back end and its
# page in place of SDL, no desktop program, PNG frames or tools (the page's address gives the
# options, read by the command line's table), no tests or benchmarks (they run on the desktop
# and, against the page, in tests/web). The archives come from a native build, whose tools
# make them.
include_guard(GLOBAL)

set(QUIBBET_SDL OFF CACHE BOOL "Build the SDL2 back end" FORCE)
set(QUIBBET_TESTS OFF CACHE BOOL "Build the tests" FORCE)
set(QUIBBET_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
set(QUIBBET_COMMAND_LINE OFF CACHE BOOL "Build the desktop program" FORCE)
set(QUIBBET_WEB_DATA ${PROJECT_SOURCE_DIR}/build/data
    CACHE PATH "Folder with the four archives made by a native build")
set(QUIBBET_WEB_MODS ${PROJECT_SOURCE_DIR}/build/mods
    CACHE PATH "Folder with the shipped mods made by a native build")

# The options' table is CLI11's, header-only: Debian's headers (libcli11-dev), copied into the
# build so that the host's /usr/include, whose C library is not Emscripten's, never joins the
# include path.
find_path(QUIBBET_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${QUIBBET_CLI11_INCLUDE}/CLI DESTINATION ${PROJECT_BINARY_DIR}/cli11)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 INTERFACE ${PROJECT_BINARY_DIR}/cli11)
