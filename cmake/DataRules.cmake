# The build rules the game's data (assets/) and the shipped mods (mods/) share: a drawing
# into pictures, a text into the game's code page, a score into music, files into an
# archive. They run our own tools
# (assets/tools, pcxconv, mpk) and the programs assets/CMakeLists.txt finds.
set(QUIBBET_DATA_TOOLS ${PROJECT_SOURCE_DIR}/assets/tools)
# Vorbis quality 0.5 with the encoder's low-pass moved up to 20 kHz keeps the music's treble
# (at quality 0 the encoder cuts at 15 kHz) and the whole browser site well under 3 MB; the
# fixed stream serial number (oggenc picks a random one) keeps an archive's bytes the same.
set(QUIBBET_MUSIC_QUALITY 0.5)
set(QUIBBET_MUSIC_LOWPASS 20)
set(QUIBBET_MUSIC_SERIAL 2008)

# quibbet_draw(SVG MODE OUTPUT...): the drawing as PCX pictures, drawn keyed, glow or opaque
# (see assets/tools/make_picture.py); a strip of frames gives one output a frame.
function(quibbet_draw svg mode)
  get_filename_component(name ${svg} NAME_WE)
  add_custom_command(
    OUTPUT ${ARGN}
    COMMAND ${QUIBBET_PYTHON} ${QUIBBET_DATA_TOOLS}/make_picture.py
            --rsvg-convert ${QUIBBET_RSVG_CONVERT} --pcxconv $<TARGET_FILE:pcxconv>
            --mode ${mode} ${svg} ${ARGN}
    DEPENDS ${svg} ${QUIBBET_DATA_TOOLS}/make_picture.py pcxconv
    COMMENT "Drawing ${name}"
    VERBATIM)
endfunction()

# quibbet_text(SOURCE OUTPUT): a UTF-8 text in code page 852 with CR LF line ends, checked
# against what the fonts draw (assets/tools/make_text.py).
function(quibbet_text source output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${QUIBBET_PYTHON} ${QUIBBET_DATA_TOOLS}/make_text.py ${source} ${output}
    DEPENDS ${source} ${QUIBBET_DATA_TOOLS}/make_text.py
    VERBATIM)
endfunction()

# quibbet_music(SCORE OUTPUT.ogg): the score played and encoded as Ogg Vorbis.
function(quibbet_music score output)
  get_filename_component(name ${score} NAME_WE)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${QUIBBET_PYTHON} ${QUIBBET_DATA_TOOLS}/make_music.py --oggenc ${QUIBBET_OGGENC}
            --quality ${QUIBBET_MUSIC_QUALITY} --lowpass ${QUIBBET_MUSIC_LOWPASS}
            --serial ${QUIBBET_MUSIC_SERIAL} ${score} ${output}
    DEPENDS ${score} ${QUIBBET_DATA_TOOLS}/make_music.py ${QUIBBET_DATA_TOOLS}/synth.py
    COMMENT "Playing the music ${name}"
    VERBATIM)
endfunction()

# quibbet_pack(ARCHIVE MEMBER...): the members packed in sorted order, so that the same
# sources always give the same archive bytes.
function(quibbet_pack archive)
  set(members ${ARGN})
  list(SORT members)
  get_filename_component(name ${archive} NAME)
  add_custom_command(
    OUTPUT ${archive}
    COMMAND $<TARGET_FILE:mpk> create ${archive} ${members}
    DEPENDS ${members} mpk
    COMMENT "Packing ${name}"
    VERBATIM)
endfunction()
