// The game world: the scrolling level, its clock and timetable of waves, the hint, and the
// three endings (boss dead, bus dead, Space) with their 100-frame count-down.
#pragma once

#include "entity/picture.h"

class TPlayerBus;
class TZelvina;

enum class TGameEnding : uint8_t { None, Won, Lost, Space };

class TGameWorld : public TScrollingBackdrop {
 public:
  explicit TGameWorld(TAgentEntity* agent);
  bool Update() override;

  TPlayerBus* Player = nullptr;  // scene-owned; never replaced
  TZelvina* Boss = nullptr;      // null until frame 1900
  uint8_t EndTimer = 0;          // 101 when an ending begins, then counted down
  TGameEnding Ending = TGameEnding::None;
  uint32_t BossFrames = 0;  // frames with the boss there before an ending: her fall, or another

 private:
  void RunTimetable();
  void CheckEndings();
  void BeginEnding(TGameEnding ending, const char* picture, bool keyed, bool halt);
};
