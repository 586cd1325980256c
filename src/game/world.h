// The game world: the scrolling level, its clock and its level's timetable of waves, and the
// three endings (the level won, the bus lost, Space) with their 100-frame count-down.
#pragma once

#include <vector>

#include "entity/picture.h"
#include "level/level.h"

class TPlayerBus;
class TZelvina;

enum class TGameEnding : uint8_t { None, Won, Lost, Space };

class TGameWorld : public TScrollingBackdrop {
 public:
  // Plays `level`, the level in force unless a test gives another.
  explicit TGameWorld(TAgentEntity* agent);
  TGameWorld(TAgentEntity* agent, const TLevel& level);
  bool Update() override;

  TPlayerBus* Player = nullptr;  // scene-owned; never replaced
  TZelvina* Boss = nullptr;      // null until the level's boss arrives
  uint8_t EndTimer = 0;          // 101 when an ending begins, then counted down
  TGameEnding Ending = TGameEnding::None;
  uint32_t BossFrames = 0;  // frames with the boss there before an ending: her fall, or another

 private:
  void RunTimetable();
  void Start(const TLevelRow& row);
  void CheckEndings();
  void BeginEnding(TGameEnding ending, const char* picture, bool keyed, bool halt);

  TLevel Level;
  std::vector<TLevelEvent> Schedule;  // by frame
};
