// What the game hears. Actors say what happened (PlaySound, PlayMusic); once per presented
// frame the frame loop calls AudioFrame, which mixes that frame's samples, records them and
// hands them to the platform. Nothing here knows a device, and no actor knows the mixer.
// With sound off (headless and not recording) every call does nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/sounds.h"

// The player's volume belongs to the platform, which applies it on the way to the device:
// the recording keeps the game's own sound.
struct TAudioConfig {
  bool Enabled = false;    // something hears the sound: a device, or a recording
  std::string RecordFile;  // where --record-audio writes; empty: nowhere
};

// Loads the sounds and opens the recording; false with a reason when the recording cannot
// be created (the sounds themselves only ever fail soft).
bool StartAudio(const TAudioConfig& config, std::string& error);
// Completes the recording; false with a reason when it could not be written.
bool StopAudio(std::string& error);
// Back to the state at program start; tests call it between cases.
void ResetAudioState();

// `x` is where on the screen it happened, for its place between the speakers. A sound
// reported more than once in a frame starts once.
void PlaySound(TSound sound, int x);
// What plays fades out first; a piece already playing goes on.
void PlayMusic(TMusic music);
void StopMusic();

// Mixes the sound of the frame just presented and hands it on.
void AudioFrame();
// The run has ended: its sound goes on for a few frames more, fading to silence, and is
// handed on at once, so that the device plays it out while the display closes instead of
// stopping mid-note. The recording keeps the game's frames only.
void FadeOutAudio();
constexpr size_t EndingFadeFrames = 4;  // long enough to sound like an ending
