# Drawing routines: listed here so their per-file compile flags stay with them.
target_sources(quibbet_engine PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/blit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/blit.h
  ${CMAKE_CURRENT_LIST_DIR}/blit_paths.h
)

# The vector paths compile to nothing elsewhere; on x86 the AVX2 file alone gets AVX2 code, and
# it runs only after the processor was asked. SSE2 is named for 32-bit builds, where it is not
# the baseline.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$" AND NOT EMSCRIPTEN)
  target_sources(quibbet_engine PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/blit_sse.h
    ${CMAKE_CURRENT_LIST_DIR}/blit_sse2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/blit_avx2.cpp
  )
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/blit_sse2.cpp
    TARGET_DIRECTORY quibbet_engine PROPERTIES COMPILE_OPTIONS -msse2)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/blit_avx2.cpp
    TARGET_DIRECTORY quibbet_engine PROPERTIES COMPILE_OPTIONS -mavx2)
endif()
