# The browser's program and its site: quibbet.js and quibbet.wasm from the engine and the web
# back end, beside our own page, the sound worklet, the archives and the shipped mod of a
# native build and the licence files, all in ${CMAKE_BINARY_DIR}/site, a folder any web server can host.
target_sources(quibbet_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/dom_keys.cpp
               ${CMAKE_CURRENT_LIST_DIR}/page_bridge.cpp ${CMAKE_CURRENT_LIST_DIR}/web_platform.cpp)

add_executable(quibbet ${PROJECT_SOURCE_DIR}/src/entries/web_main.cpp)
target_link_libraries(quibbet PRIVATE quibbet_engine quibbet_platform)
# The engine waits by sleeping inside its frame loop; Asyncify turns each sleep into a return
# to the browser and back. The program's exit by exception (a fatal box) needs exceptions.
set(QUIBBET_WEB_FLAGS -fexceptions)
target_compile_options(quibbet_engine PUBLIC ${QUIBBET_WEB_FLAGS})
target_link_options(quibbet PRIVATE ${QUIBBET_WEB_FLAGS}
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sMODULARIZE -sEXPORT_NAME=createQuibbet -sENVIRONMENT=web
  -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=64MB
  -sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency -lidbfs.js)

# Debian's Emscripten runs its JavaScript tools on the system's Node.js modules when linking.
set_property(TARGET quibbet PROPERTY RULE_LAUNCH_LINK "env NODE_PATH=/usr/share/nodejs")

set(QUIBBET_SITE ${CMAKE_BINARY_DIR}/site)
set(site_sources index.html start.js bridge.js fit.js input.js gamepad.js sound.js overlays.js
                 audio.js fetching.js level_link.js)
set(site_files)
foreach(file IN LISTS site_sources)
  list(APPEND site_files ${CMAKE_CURRENT_LIST_DIR}/site/${file})
endforeach()
set(archives)
foreach(archive SPRITES FONTS TEXTS SOUNDS)
  list(APPEND archives ${QUIBBET_WEB_DATA}/${archive}.MPK)
endforeach()
# The shipped mod, for ?mod=mods/morning: the archives it changes.
set(mod_archives)
foreach(archive SPRITES TEXTS SOUNDS LEVELS)
  list(APPEND mod_archives ${QUIBBET_WEB_MODS}/morning/${archive}.MPK)
endforeach()
include(${PROJECT_SOURCE_DIR}/cmake/Licenses.cmake)
set(licence_commands)
set(licence_sources)
set(pairs ${QUIBBET_LICENSE_FILES})
while(pairs)
  list(POP_FRONT pairs source name)
  list(APPEND licence_sources ${PROJECT_SOURCE_DIR}/${source})
  list(APPEND licence_commands COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source}
       ${QUIBBET_SITE}/${name})
endwhile()
set(stamp ${CMAKE_CURRENT_BINARY_DIR}/site.stamp)
set(icon ${PROJECT_SOURCE_DIR}/packaging/quibbet.svg)
add_custom_command(
  OUTPUT ${stamp}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUIBBET_SITE}/fonts ${QUIBBET_SITE}/mods/morning
  COMMAND ${CMAKE_COMMAND} -E copy ${mod_archives} ${QUIBBET_SITE}/mods/morning
  COMMAND ${CMAKE_COMMAND} -E copy ${icon} ${QUIBBET_SITE}/favicon.svg
  COMMAND ${CMAKE_COMMAND} -E copy ${site_files} ${archives} $<TARGET_FILE:quibbet>
          $<TARGET_FILE_DIR:quibbet>/quibbet.wasm ${QUIBBET_SITE}
  ${licence_commands}
  COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
  DEPENDS quibbet ${site_files} ${archives} ${mod_archives} ${licence_sources} ${icon}
  COMMENT "Putting the site together in ${QUIBBET_SITE}"
  VERBATIM)
add_custom_target(site ALL DEPENDS ${stamp})
