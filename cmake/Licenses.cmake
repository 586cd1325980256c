# The game's licence files as every package ships them beside the game: the code's (MIT), the
# data's, and the font licence that the data's names. Pairs of a file in the source tree and
# its name in the package: the data's licence names fonts/OFL-1.1.txt, so that path is kept.
# The Windows zip installs them with quibbet_install_licenses(); the Debian package carries
# them all in its one copyright file instead (packaging/copyright), as Debian wants.
# (No include guard: included again in another scope, it must set the list there too.)

set(QUIBBET_LICENSE_FILES
    LICENSE                  LICENSE
    assets/LICENSE.md        LICENSE-DATA.md
    assets/fonts/OFL-1.1.txt fonts/OFL-1.1.txt)

# quibbet_install_licenses(DESTINATION): install rules for each licence file, by its name in
# the package, under DESTINATION.
function(quibbet_install_licenses destination)
  set(pairs ${QUIBBET_LICENSE_FILES})
  while(pairs)
    list(POP_FRONT pairs source name)
    cmake_path(GET name PARENT_PATH folder)
    cmake_path(GET name FILENAME file)
    install(FILES ${PROJECT_SOURCE_DIR}/${source} DESTINATION ${destination}/${folder}
            RENAME ${file})
  endwhile()
endfunction()
