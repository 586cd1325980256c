// The game's sounds as loaded from SOUNDS.MPK in the data folder. Sound is optional: a
// missing archive, a missing file or a file that cannot be played gives one line on stderr
// and silence in its place, never a box.
#pragma once

#include <array>
#include <memory>

#include "audio/music_source.h"
#include "audio/pcm.h"
#include "audio/sounds.h"

struct TSoundBank {
  std::array<TPcm, SoundCount> Effects;                         // empty: silent
  std::array<std::unique_ptr<TMusicSource>, MusicCount> Music;  // null: silent
};

// Each sound NAME is NAME.ogg, or NAME.wav where there is no NAME.ogg. The piece played
// as TMusic::Game is the one the level in force names.
TSoundBank LoadSoundBank();
