# ddlink.dll and `ddlink_imports`, what an importer links to (included by cmake/Windows.cmake).
# The exports keep their plain names: on 32-bit Windows the stdcall @N is cut from the DLL's
# table (ddlink.def), and the linker's own import library would still ask for it, so dlltool
# makes that one.
add_library(ddlink SHARED ${CMAKE_CURRENT_LIST_DIR}/ddlink.cpp ${CMAKE_CURRENT_LIST_DIR}/ddlink.h)
target_include_directories(ddlink PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(ddlink PRIVATE QUIBBET_BUILDING_DDLINK)
set_target_properties(ddlink PROPERTIES PREFIX "" OUTPUT_NAME ddlink)
target_link_libraries(ddlink PRIVATE gdi32 user32)
# Stripped as the programs are when packed (CPack strips only what install(TARGETS) installs).
target_link_options(ddlink PRIVATE $<$<CONFIG:Release>:-s>)

add_library(ddlink_imports INTERFACE)
target_include_directories(ddlink_imports INTERFACE ${PROJECT_SOURCE_DIR}/src)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_sources(ddlink PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ddlink.def)
  target_link_options(ddlink PRIVATE -Wl,--kill-at)
  if(NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "ddlink.dll for 32-bit Windows needs dlltool (binutils-mingw-w64-i686).")
  endif()
  set(implib ${PROJECT_BINARY_DIR}/libddlink_imports.a)
  add_custom_command(
    OUTPUT ${implib}
    COMMAND ${CMAKE_DLLTOOL} --kill-at --input-def ${CMAKE_CURRENT_LIST_DIR}/ddlink.def
            --dllname ddlink.dll --output-lib ${implib}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/ddlink.def
    COMMENT "Making the import library of ddlink.dll"
    VERBATIM)
  add_custom_target(ddlink_import_library DEPENDS ${implib})
  target_link_libraries(ddlink_imports INTERFACE ${implib})
  add_dependencies(ddlink_imports ddlink ddlink_import_library)
else()
  target_link_libraries(ddlink_imports INTERFACE ddlink)
endif()
