// The pause: asked for by the pause key (or the focus going), held by a back end's pump, which
// hands every message the player makes meanwhile to Sees, once each, as it comes. Sees decides
// what reaches the game and when the pause ends: the pause key, Escape or a close ends it. A
// menu (pause_menu.h) sees the player's input before it and may end it too.
#pragma once

#include "platform/platform.h"

class TPause {
 public:
  // Asked for: the pump holds the game at its next message, until the pause key asks again or
  // Escape or a close ends it.
  bool Asked() const { return Wanted && !Ended; }
  void Ask() { Wanted = true; }
  void Toggle() { Wanted = !Wanted; }  // the pause key
  void Resume() { Wanted = false; }    // the menu's Resume

  // The pump's loop: Begin, then each of the player's messages to Sees while Asked, then End.
  void Begin();
  bool Holding() const { return Held; }
  // Whether a message the player made during the pause reaches the game.
  bool Sees(const TMessage& msg);
  // Whether the pointer moved while the pause held; the game learns where it went.
  bool PointerMoved() const { return Moved; }
  void End();

 private:
  bool Wanted = false;
  bool Held = false;
  bool Ended = false;  // by Escape or a close, whatever the pause key does after them
  bool Moved = false;
};

// Whether a message the player made during a pause still reaches the game afterwards. No frame
// runs while paused, so the game is handed nothing the player starts meanwhile, only what ends
// the run and what was let go (a button held into the pause must not stay down for good).
bool GoesThroughPause(const TMessage& msg);
