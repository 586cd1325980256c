# The browser's program and its site: quibbet.js and quibbet.wasm from the engine and the web
# back end, beside our own page, the sound worklet, the archives and the shipped mod of a
# native build, the licence files with a page for them, the icons, the manifest that lets a
# phone install the site, the service worker that keeps it for offline play, and the level
# editor with its own small program (level_checker.js and .wasm), all in
# ${CMAKE_BINARY_DIR}/site, a folder any web server can host.
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

# The level editor's program: the level format's parser, writer and checker alone, no engine
# (src/entries/level_checker_main.cpp says what it exports).
set(level_dir ${PROJECT_SOURCE_DIR}/src/level)
add_executable(level_checker ${PROJECT_SOURCE_DIR}/src/entries/level_checker_main.cpp
               ${level_dir}/level_check.cpp ${level_dir}/level_format.cpp
               ${level_dir}/level_parse.cpp ${level_dir}/level_words.cpp)
target_include_directories(level_checker PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_options(level_checker PRIVATE
  -sMODULARIZE -sEXPORT_NAME=createLevelChecker -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH
  -sEXPORTED_FUNCTIONS=_level_check,_level_format,_level_actions,_malloc,_free
  -sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8,lengthBytesUTF8)

# Debian's Emscripten runs its JavaScript tools on the system's Node.js modules when linking.
set_property(TARGET quibbet level_checker PROPERTY RULE_LAUNCH_LINK
             "env NODE_PATH=/usr/share/nodejs")

set(QUIBBET_SITE ${CMAKE_BINARY_DIR}/site)
set(site_sources index.html start.js bridge.js fit.js input.js gamepad.js sound.js overlays.js
                 audio.js fetching.js level_link.js editor.html editor.js editor_form.js
                 editor_level.js offline.js licences.html manifest.webmanifest page.css editor.css
                 licences.css)
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
# The licence files as every package ships them, and again as the texts the licence page
# (licences.html) links, by names any web server sends as text.
set(licence_texts LICENSE.txt LICENSE-DATA.txt fonts/OFL-1.1.txt)
set(pairs ${QUIBBET_LICENSE_FILES} LICENSE LICENSE.txt assets/LICENSE.md LICENSE-DATA.txt)
while(pairs)
  list(POP_FRONT pairs source name)
  list(APPEND licence_sources ${PROJECT_SOURCE_DIR}/${source})
  list(APPEND licence_commands COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${source}
       ${QUIBBET_SITE}/${name})
endwhile()
set(stamp ${CMAKE_CURRENT_BINARY_DIR}/site.stamp)
set(icon ${PROJECT_SOURCE_DIR}/packaging/quibbet.svg)
# The start screen shows the game's own title picture, drawn from the same source.
set(title ${PROJECT_SOURCE_DIR}/assets/sprites/quibbet.svg)
# The editor starts from the game's own level and offers the names the archives hold.
set(game_level ${PROJECT_SOURCE_DIR}/assets/levels/game.level)
set(level_data ${CMAKE_CURRENT_LIST_DIR}/level_data.cmake)
# The home screen's icons (192 and 512, named in manifest.webmanifest) and the touch icon.
include(${PROJECT_SOURCE_DIR}/cmake/Icon.cmake)
set(icon_pngs)
set(pairs 192 icon-192.png 512 icon-512.png 180 apple-touch-icon.png)
while(pairs)
  list(POP_FRONT pairs size name)
  quibbet_render_icon(${size} ${QUIBBET_SITE}/${name})
  list(APPEND icon_pngs ${name})
endwhile()
# What the service worker keeps: all the site but the mods, which it keeps as they are used.
set(kept ${site_sources} quibbet.js quibbet.wasm SPRITES.MPK FONTS.MPK TEXTS.MPK SOUNDS.MPK
         favicon.svg title.svg ${icon_pngs} ${licence_texts} level_checker.js level_checker.wasm
         game.level level_data.json)
list(TRANSFORM icon_pngs PREPEND ${QUIBBET_SITE}/ OUTPUT_VARIABLE icon_files)
list(JOIN kept "," kept)
set(worker ${CMAKE_CURRENT_LIST_DIR}/site/sw.js)
add_custom_command(
  OUTPUT ${stamp}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUIBBET_SITE}/fonts ${QUIBBET_SITE}/mods/morning
  COMMAND ${CMAKE_COMMAND} -E copy ${mod_archives} ${QUIBBET_SITE}/mods/morning
  COMMAND ${CMAKE_COMMAND} -E copy ${icon} ${QUIBBET_SITE}/favicon.svg
  COMMAND ${CMAKE_COMMAND} -E copy ${title} ${QUIBBET_SITE}/title.svg
  COMMAND ${CMAKE_COMMAND} -E copy ${site_files} ${archives} $<TARGET_FILE:quibbet>
          $<TARGET_FILE_DIR:quibbet>/quibbet.wasm $<TARGET_FILE:level_checker>
          $<TARGET_FILE_DIR:level_checker>/level_checker.wasm ${game_level} ${QUIBBET_SITE}
  COMMAND ${CMAKE_COMMAND} -DDATA=${QUIBBET_WEB_DATA} -DOUT=${QUIBBET_SITE}/level_data.json
          -P ${level_data}
  ${licence_commands}
  COMMAND ${CMAKE_COMMAND} -DSITE=${QUIBBET_SITE} -DTEMPLATE=${worker} -DFILES=${kept} -P
          ${CMAKE_CURRENT_LIST_DIR}/site_worker.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
  DEPENDS quibbet level_checker ${site_files} ${archives} ${mod_archives} ${licence_sources}
          ${icon} ${title} ${game_level} ${level_data} ${icon_files} ${worker}
          ${CMAKE_CURRENT_LIST_DIR}/site_worker.cmake
  COMMENT "Putting the site together in ${QUIBBET_SITE}"
  VERBATIM)
add_custom_target(site ALL DEPENDS ${stamp})
