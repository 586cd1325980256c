// TAgentEntity: the scene's registry and the entities' only way to it. It places and
// destroys entities, runs the collision pass, finds the player and carries the scene-wide
// flags. TQueuedEntDestroyer defers destruction to the start of the next frame, because
// entities ask for it while the scene is walking its slots.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "entity/entity.h"

class TScene;

class TQueuedEntDestroyer {
 public:
  explicit TQueuedEntDestroyer(TScene* scene) : Scene(scene) {}
  void Add(PBaseEntity e) { Pending.push_back(e); }
  // Removes every queued entity from the scene, in queuing order, then empties the queue.
  void DestroyAll();

  std::vector<PBaseEntity> Pending;  // duplicates allowed: the second Remove finds no slot
  TScene* Scene = nullptr;
};

class TAgentEntity : public TBaseEntity {
 public:
  explicit TAgentEntity(TScene* scene);
  ~TAgentEntity() override;

  // Flushes the destroy queue, then runs the collision pass; the agent is never drawn.
  bool Update() override;

  void Add(PBaseEntity e);
  void QueueDestroy(PBaseEntity e);
  void SetHalted(bool flag) { Halted = flag; }
  bool IsHalted() const { return Halted; }
  void Finish() { Finished = true; }
  bool IsFinished() const { return Finished; }
  void SetSpritePackage(const std::string& name) { SpritePackage = name; }
  std::string GetSpritePackage() const { return SpritePackage; }
  TBaseEntity* FindPlayerFrom(int16_t start);
  TBaseEntity* FindPlayer() { return FindPlayerFrom(1); }

  // The entity factory: builds an effect entity by kind number, applies the loop limit
  // and start command packed in `flags`, adds it and returns it; null for unknown kinds.
  virtual PBaseEntity CreateEntity(uint8_t kind, uint16_t flags, const std::string& name,
                                   bool destroyAtEnd, int16_t x, int16_t y, uint16_t hold,
                                   uint16_t delay, uint16_t fadeIn, uint16_t fadeOut);

  bool Halted = false;    // the game's outcome is decided
  bool Finished = false;  // the scene is to end
  TScene* Scene = nullptr;
  std::unique_ptr<TQueuedEntDestroyer> Destroyer;
  std::string SpritePackage;

 private:
  void CollisionPass();
};
