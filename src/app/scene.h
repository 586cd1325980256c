// TScene: one stage of the game (intro, game, credits). It owns 200 entity slots, the
// frame buffer they draw into and, through slot 1, the agent; Run is the frame loop, the
// only place where time advances.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/report.h"
#include "entity/entity.h"
#include "gfx/surface.h"

class TAgentEntity;

enum class TSceneEnd { Finished, Escape, Closed, MaxFrames };

class TScene;
// Sees every scene's frame right after it was presented, before the messages are pumped
// (the autopilot plays through it); empty when nothing watches.
using TFrameWatcher = std::function<void(const TScene& scene)>;
extern TFrameWatcher FrameWatcher;

const char* SceneEndName(TSceneEnd end);

class TScene {
 public:
  static constexpr int SlotCount = 200;

  TScene();
  // Destroys the entities in the slots from slot 200 down to slot 1.
  virtual ~TScene();
  TScene(const TScene&) = delete;
  TScene& operator=(const TScene&) = delete;

  // Creates the agent in slot 1, then the scene's own entities.
  virtual void Setup() = 0;

  // Runs frames until the window is gone, Escape is down or the agent is finished; with
  // `maxTotalFrames` set, also once that many frames have been presented since start.
  TSceneEnd Run(uint64_t maxTotalFrames = 0);

  // Adds the scene's own members to its summary record (the game's ending, say).
  virtual void AddToReport(TSceneRecord& /*record*/) const {}

  // Steps 1 and 2 of a frame: clear the frame buffer, update and draw every slot in order.
  void UpdateAndDraw();

  PBaseEntity EntityAt(uint16_t i) const;
  // Stores e in the lowest free slot. A full scene keeps e out of the frame loop (never
  // updated or drawn) but still owns it, so nothing leaks and no holder's reference dangles.
  void Place(PBaseEntity e);
  // Clears the lowest slot holding e, then destroys e; nothing when no slot holds it.
  void Remove(PBaseEntity e);

  PBaseEntity Slots[SlotCount] = {};  // slot i is Slots[i - 1]
  TSurface FrameBuffer;
  TAgentEntity* Agent = nullptr;
  uint64_t FramesRun = 0;

 private:
  std::vector<std::unique_ptr<TBaseEntity>> Unplaced;  // what arrived while the scene was full
};
