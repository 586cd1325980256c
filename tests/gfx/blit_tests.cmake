# Tests of the drawing routines.
target_sources(quibbet_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/blit_reference.h
  ${CMAKE_CURRENT_LIST_DIR}/blit_test.cpp
)
