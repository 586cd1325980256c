# Builds go through ccache when it is installed, so a second build of the same sources (another
# clone, a clean CI run, the sanitizer build after an edit) compiles only what changed. Paths
# under the source tree are hashed relative to it and the build folder is left out of the hash,
# so two clones share their cache. QUIBBET_CCACHE=OFF builds without it.
option(QUIBBET_CCACHE "Compile through ccache when it is installed" ON)
find_program(QUIBBET_CCACHE_PROGRAM ccache)
if(QUIBBET_CCACHE AND QUIBBET_CCACHE_PROGRAM AND NOT EMSCRIPTEN AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1
               ${QUIBBET_CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
endif()
