# The Windows-only tests, in the one test binary (included by cmake/Windows.cmake). The shared
# helper that runs programs is POSIX (a shell, wait status); here one made on CreateProcessA
# replaces it. The game's data tests read the archives the Linux build made.
target_sources(quibbet_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ddlink_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_platform_test.cpp
)
get_target_property(test_sources quibbet_tests SOURCES)
list(FILTER test_sources EXCLUDE REGEX "/tests/support/run_binary\\.cpp$")
list(APPEND test_sources ${CMAKE_CURRENT_LIST_DIR}/run_binary_win32.cpp)
set_property(TARGET quibbet_tests PROPERTY SOURCES ${test_sources})
target_link_libraries(quibbet_tests PRIVATE ddlink_imports user32 gdi32)

target_sources(quibbet_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/data/game_data_test.cpp)
target_compile_definitions(quibbet_tests PRIVATE
  QUIBBET_GAME_DATA_DIR="${QUIBBET_WINDOWS_DATA}")
