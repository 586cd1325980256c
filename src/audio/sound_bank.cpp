// Reading SOUNDS.MPK member by member, with a line on stderr for what is not there or not
// playable. The archive is closed again once everything is read.
#include "audio/sound_bank.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "audio/sound_file.h"
#include "level/level_in_force.h"
#include "res/data_dir.h"
#include "res/packfile.h"

namespace {

constexpr const char* Archive = "SOUNDS";

void Say(const std::string& line) {
  std::fprintf(stderr, "quibbet: %s\n", line.c_str());
}

void SaySilent(const std::string& name, const std::string& error) {
  Say("sound \"" + name + "\" in SOUNDS.MPK: " + error + "; it stays silent");
}

// The member's bytes; nothing when the archive has no member of that name. A member that is
// there but cannot be read gives an error and an empty result.
std::optional<std::vector<uint8_t>> ReadMember(uint8_t slot, const std::string& name,
                                               std::string& error) {
  const uint16_t handle = SubfileOpen(slot, name);
  if (handle == 0) return std::nullopt;
  std::vector<uint8_t> bytes;
  if (!SubfileIntact(handle)) {
    error = "its entry lies outside the archive";
  } else if (static_cast<uint64_t>(SubfileSize(slot, handle)) > MaxSoundFileBytes) {
    error = "it is larger than 64 MB";
  } else {
    bytes.resize(static_cast<size_t>(SubfileSize(slot, handle)));
    if (SubfileReadAll(slot, handle, bytes.data(), bytes.size()) != 0)
      error = "it cannot be read from the archive";
  }
  SubfileClose(slot, handle);
  return bytes;
}

// Reads NAME.ogg or NAME.wav and hands the bytes and the member's name to `decode`, which sets
// an error when the sound stays silent; that gets its line on stderr.
template <typename Decode>
void LoadOne(uint8_t slot, const std::string& base, Decode&& decode) {
  for (const char* extension : {".ogg", ".wav"}) {
    const std::string name = base + extension;
    std::string error;
    std::optional<std::vector<uint8_t>> bytes = ReadMember(slot, name, error);
    if (!bytes) continue;
    if (error.empty()) decode(std::move(*bytes), name, error);
    if (!error.empty()) SaySilent(name, error);
    return;
  }
  Say("SOUNDS.MPK has no " + base + ".ogg or " + base + ".wav; it stays silent");
}

std::string WhereArchivesAre() {
  return DataDirectory().empty() ? "the working directory" : DataDirectory();
}

}  // namespace

TSoundBank LoadSoundBank() {
  TSoundBank bank;
  const uint8_t slot = PackfileOpen(Archive);
  if (slot == PackErrPackfileNotFound) {
    Say("no SOUNDS.MPK in " + WhereArchivesAre() + ": the game plays without sound");
    bank.ArchiveMissing = true;
    return bank;
  }
  if (slot > PackfileSlotCount) {
    Say(std::string("SOUNDS.MPK: ") + PackfileErrorText(slot) + ": the game plays without sound");
    return bank;
  }
  for (size_t i = 0; i < SoundCount; ++i)
    LoadOne(slot, SoundNames[i],
            [&](std::vector<uint8_t> bytes, const std::string&, std::string& error) {
              DecodeEffect(std::move(bytes), bank.Effects[i], error);
            });
  for (size_t i = 0; i < MusicCount; ++i) {
    // The level names the piece that plays while it runs.
    const bool level = static_cast<TMusic>(i) == TMusic::Game;
    LoadOne(slot, level ? LevelInForce().Music : MusicNames[i],
            [&](std::vector<uint8_t> bytes, const std::string& name, std::string& error) {
              bank.Music[i] = OpenMusic(std::move(bytes), error);
              bank.MusicFiles[i] = name;
            });
  }
  PackfileClose(slot);
  return bank;
}

void TellMusicFaults(TSoundBank& bank) {
  for (size_t i = 0; i < MusicCount; ++i) {
    if (!bank.Music[i] || bank.FaultsTold[i] || bank.Music[i]->Fault().empty()) continue;
    SaySilent(bank.MusicFiles[i], bank.Music[i]->Fault());
    bank.FaultsTold[i] = true;
  }
}
