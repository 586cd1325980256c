// The game's sounds as loaded from SOUNDS.MPK in the data folder. Sound is optional: a
// missing archive, a missing file or a file that cannot be played gives one line on stderr
// and silence in its place, never a box.
#pragma once

#include <array>
#include <bitset>
#include <memory>
#include <string>

#include "audio/music_source.h"
#include "audio/pcm.h"
#include "audio/sounds.h"

struct TSoundBank {
  std::array<TPcm, SoundCount> Effects;                         // empty: silent
  std::array<std::unique_ptr<TMusicSource>, MusicCount> Music;  // null: silent
  std::array<std::string, MusicCount> MusicFiles;               // the member each came from
  std::bitset<MusicCount> FaultsTold;
  bool ArchiveMissing = false;  // there was no SOUNDS.MPK to read
};

// Each sound NAME is NAME.ogg, or NAME.wav where there is no NAME.ogg. The piece played
// as TMusic::Game is the one the level in force names.
TSoundBank LoadSoundBank();
// A line on stderr for each piece of music found damaged as it played, once.
void TellMusicFaults(TSoundBank& bank);
