# Installation and packaging: the game, the modders' tools, the data archives (installed by
# assets/CMakeLists.txt), a desktop entry with its icon, AppStream metadata, the manual page
# and the copyright file, under any prefix; `cpack -G DEB` (scripts/build-deb.sh) makes the
# Debian package.
include(GNUInstallDirs)

# The desktop entry and the metadata are named after the application's reverse-DNS id.
set(QUIBBET_APP_ID "io.github.savequibbet.Quibbet")
set(PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${PACKAGING_OUT})

# ---- What the program knows of its installation -----------------------------------------
# The data folder as seen from the installed program, so that a copy under any prefix finds
# its own archives; and the version that --version, the manual and the package share.
set(QUIBBET_INSTALLED_DATA ${CMAKE_INSTALL_FULL_DATADIR}/quibbet)
file(RELATIVE_PATH QUIBBET_DATA_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${QUIBBET_INSTALLED_DATA})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/app/data_search.cpp TARGET_DIRECTORY quibbet_engine
             APPEND PROPERTY COMPILE_DEFINITIONS
             QUIBBET_DATA_FROM_PROGRAM="${QUIBBET_DATA_FROM_PROGRAM}")
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/app/options.cpp TARGET_DIRECTORY quibbet_engine
             APPEND PROPERTY COMPILE_DEFINITIONS QUIBBET_VERSION="${PROJECT_VERSION}")

# ---- Programs ---------------------------------------------------------------------------

install(TARGETS quibbet mpk pcxconv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# ---- Desktop entry, metadata, manual ----------------------------------------------------
# The release list of the metadata is the one record of release dates: the manual takes its
# date from there, and a version without an entry stops the configuration.

set(metainfo_source ${PACKAGING}/quibbet.metainfo.xml.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${metainfo_source})
file(READ ${metainfo_source} metainfo_text)
string(REPLACE "." "\\." version_pattern "${PROJECT_VERSION}")
if(NOT metainfo_text MATCHES "<release version=\"${version_pattern}\" date=\"([0-9-]+)\"")
  message(FATAL_ERROR "packaging/quibbet.metainfo.xml.in has no <release> for version "
                      "${PROJECT_VERSION}: add one with its date.")
endif()
set(QUIBBET_RELEASE_DATE ${CMAKE_MATCH_1})

configure_file(${metainfo_source} ${PACKAGING_OUT}/${QUIBBET_APP_ID}.metainfo.xml @ONLY)
configure_file(${PACKAGING}/quibbet.6.in ${PACKAGING_OUT}/quibbet.6 @ONLY)
# Manual pages are installed compressed, as man and Debian expect; -n keeps the bytes the
# same from build to build.
add_custom_command(
  OUTPUT ${PACKAGING_OUT}/quibbet.6.gz
  COMMAND gzip -9 -n -c ${PACKAGING_OUT}/quibbet.6 > ${PACKAGING_OUT}/quibbet.6.gz
  DEPENDS ${PACKAGING_OUT}/quibbet.6
  COMMENT "Compressing the manual page")

install(FILES ${PACKAGING}/quibbet.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${QUIBBET_APP_ID}.desktop)
install(FILES ${PACKAGING_OUT}/${QUIBBET_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PACKAGING_OUT}/quibbet.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# ---- Licences ---------------------------------------------------------------------------
# Debian's place for them: one machine-readable copyright file naming the code's, the
# pictures' and texts' and each font's licence with its full text (it repeats LICENSE,
# assets/LICENSE.md and assets/fonts/OFL-1.1.txt, which the desktop tests hold it to).
# Packages without such a file ship those licence files themselves (cmake/Licenses.cmake).

install(FILES ${PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quibbet)

# ---- Icon -------------------------------------------------------------------------------
# The drawing itself for scalable themes, and the usual bitmap sizes rendered from it.

set(QUIBBET_ICON_SIZES 48 64 128 256)
set(icon_pngs)
include(${PROJECT_SOURCE_DIR}/cmake/Icon.cmake)
foreach(size IN LISTS QUIBBET_ICON_SIZES)
  set(png ${PACKAGING_OUT}/icons/${size}x${size}/quibbet.png)
  quibbet_render_icon(${size} ${png})
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PACKAGING}/quibbet.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

add_custom_target(packaging_files ALL DEPENDS ${icon_pngs} ${PACKAGING_OUT}/quibbet.6.gz)

# ---- Debian package ---------------------------------------------------------------------
# The package installs under /usr whatever the build's own prefix. Its dependencies are
# the libraries the programs link (checked against the binary by scripts/test-deb.sh).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quibbet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Save Quibbet! developers")
set(CPACK_PACKAGE_CONTACT "Save Quibbet! developers <quibbet@example.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "side-scrolling shooter with a flying parish bus")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Father Quon's parish bus follows the mouse and fires holy crosses at m&ms, carrots, "
       "grenades, a bomber and their boss. One level with an intro and credits, full screen "
       "on the desktop's own resolution or in a window. Includes the modders' tools mpk and "
       "pcxconv.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# (The versions are what dpkg-shlibdeps finds for the programs on Debian 12.)
string(CONCAT CPACK_DEBIAN_PACKAGE_DEPENDS
       "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libpng16-16 (>= 1.6.2-1), "
       "libsdl2-2.0-0 (>= 2.0.16), libstdc++6 (>= 11)")
set(CPACK_STRIP_FILES ON)
include(CPack)
