# The Win32 back end joins the others in quibbet_platform; it imports ddlink.dll.
target_sources(quibbet_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/win32_api.h
  ${CMAKE_CURRENT_LIST_DIR}/win32_audio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_audio.h
  ${CMAKE_CURRENT_LIST_DIR}/win32_backend.h
  ${CMAKE_CURRENT_LIST_DIR}/win32_pump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_platform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win32_platform.h
)
target_link_libraries(quibbet_platform PRIVATE ddlink_imports user32 gdi32 winmm)
