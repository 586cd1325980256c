# The Windows build (cmake/toolchains, scripts/build-windows.sh): the Win32 back end in place of
# SDL, our presentation library ddlink.dll, the Windows-only tests, and a zip of the programs
# with the archives and the licence files. Making the archives runs the tools, so they come
# from a Linux build.
include_guard(GLOBAL)

set(QUIBBET_SDL OFF CACHE BOOL "Build the SDL2 back end")
set(QUIBBET_BENCH OFF CACHE BOOL "Build the benchmarks")
set(QUIBBET_WINDOWS_DATA ${PROJECT_SOURCE_DIR}/build/data
    CACHE PATH "Folder with SPRITES.MPK, FONTS.MPK, TEXTS.MPK and SOUNDS.MPK made by a Linux build")

# The programs and the DLL side by side, as in the zip, so each finds ddlink.dll.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
# Finding the test cases runs the test program: under Wine, when ctest asks, not while building.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

function(quibbet_windows_targets)
  include(${PROJECT_SOURCE_DIR}/src/ddlink/ddlink.cmake)
  include(${PROJECT_SOURCE_DIR}/src/platform/win32/win32.cmake)
  foreach(program quibbet mpk pcxconv quibbet_tests)
    if(TARGET ${program})
      target_sources(${program} PRIVATE ${PROJECT_SOURCE_DIR}/src/platform/win32/binary_stdio.cpp)
    endif()
  endforeach()
  # A window program, as the game always was: no console opens beside it.
  set_target_properties(quibbet PROPERTIES WIN32_EXECUTABLE ON)
  target_compile_definitions(quibbet PRIVATE QUIBBET_HAVE_WIN32)
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/app/options.cpp TARGET_DIRECTORY quibbet_engine
               APPEND PROPERTY COMPILE_DEFINITIONS QUIBBET_VERSION="${PROJECT_VERSION}")
  if(QUIBBET_TESTS)
    include(${PROJECT_SOURCE_DIR}/tests/win32/win32_tests.cmake)
  endif()

  # ---- The zip ------------------------------------------------------------------------
  set(archives)
  foreach(archive SPRITES FONTS TEXTS SOUNDS)
    if(NOT EXISTS ${QUIBBET_WINDOWS_DATA}/${archive}.MPK)
      message(WARNING "${QUIBBET_WINDOWS_DATA}/${archive}.MPK is missing: the zip will lack "
                      "it (build the Linux tree's game_data first, or set QUIBBET_WINDOWS_DATA).")
    endif()
    list(APPEND archives ${QUIBBET_WINDOWS_DATA}/${archive}.MPK)
  endforeach()
  install(TARGETS quibbet mpk pcxconv RUNTIME DESTINATION .)
  # The DLL alone: its import library is for building, not for playing.
  install(PROGRAMS $<TARGET_FILE:ddlink> DESTINATION .)
  install(FILES ${archives} DESTINATION . OPTIONAL)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/WINDOWS.md DESTINATION .)
  include(${PROJECT_SOURCE_DIR}/cmake/Licenses.cmake)
  quibbet_install_licenses(.)

  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(system win32)
  else()
    set(system win64)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME quibbet)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_VENDOR "the Save Quibbet! developers")
  set(CPACK_PACKAGE_FILE_NAME quibbet-${PROJECT_VERSION}-${system})
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_STRIP_FILES ON)
  include(CPack)
endfunction()
# Runs once the whole tree is read, when the targets it extends exist (deferred code may not
# add directories, hence the included .cmake files).
cmake_language(DEFER CALL quibbet_windows_targets)
