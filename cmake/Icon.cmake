# The game's icon, packaging/quibbet.svg, rendered to PNG by rsvg-convert: the desktop's icon
# theme sizes (cmake/Install.cmake) and the browser's home-screen and touch icons
# (src/platform/web/web.cmake) come from the one drawing by the one rule.

find_program(QUIBBET_RSVG_CONVERT NAMES rsvg-convert)
if(NOT QUIBBET_RSVG_CONVERT)
  message(FATAL_ERROR "The game's icon needs rsvg-convert: install the Debian package "
                      "librsvg2-bin (scripts/install-deps.sh installs it).")
endif()

# quibbet_render_icon(SIZE PNG): a rule that makes PNG, SIZE pixels square, from the icon.
function(quibbet_render_icon size png)
  set(drawing ${PROJECT_SOURCE_DIR}/packaging/quibbet.svg)
  cmake_path(GET png PARENT_PATH folder)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${QUIBBET_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${drawing}
    DEPENDS ${drawing}
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
endfunction()
