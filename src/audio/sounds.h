// The game's sounds by name: what actors report, and the file each one is read from.
#pragma once

#include <cstddef>
#include <cstdint>

enum class TSound : uint8_t {
  Fire,            // a holy cross leaves the bus
  EnemyHit,        // a shot strikes an m&m, a carrot or the bomber, which lives on
  EnemyDestroyed,  // an m&m or a carrot is shot down
  Explosion,       // a grenade or the bus goes up
  GrenadeThrown,   // a grenade starts its flight
  BusHit,          // the bus takes damage and lives on
  BomberFalling,   // the bomber is shot down
  BossArrives,
  BossHit,
  Win,
  Lose,
};
constexpr size_t SoundCount = 11;

enum class TMusic : uint8_t { Intro, Game, Boss, Credits };
constexpr size_t MusicCount = 4;

// The base name of each sound's file in SOUNDS.MPK ("fire" for fire.ogg or fire.wav).
constexpr const char* SoundNames[SoundCount] = {
    "fire",           "enemy_hit",    "enemy_destroyed", "explosion", "grenade", "bus_hit",
    "bomber_falling", "boss_arrives", "boss_hit",        "win",       "lose"};
constexpr const char* MusicNames[MusicCount] = {"intro", "game", "boss", "credits"};
