// What a pause lets through and what ends it.
#include "platform/pause.h"

#include "platform/keys.h"

void TPause::Begin() {
  Held = true;
  Moved = false;
  Ended = false;
}

bool TPause::Sees(const TMessage& msg) {
  if (msg.Message == Wm::MouseMove) Moved = true;
  const bool escape = msg.Message == Wm::KeyDown && msg.WParam == Vk::Escape;
  if (escape || msg.Message == Wm::Close) Ended = true;
  return GoesThroughPause(msg);
}

void TPause::End() {
  Wanted = false;
  Held = false;
  Ended = false;
}

bool GoesThroughPause(const TMessage& msg) {
  switch (msg.Message) {
    case Wm::KeyUp:
    case Wm::LButtonUp:
    case Wm::RButtonUp:
    case Wm::Close:
    case Wm::Activate:
      return true;
    case Wm::KeyDown:
      return msg.WParam == Vk::Escape;  // Escape ends the pause and the scene alike
    default:
      return false;
  }
}
