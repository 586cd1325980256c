// The agent's frame work: destroy queue flush, collision pass, player search.
#include "entity/agent.h"

#include "app/scene.h"
#include "entity/collidable.h"

void TQueuedEntDestroyer::DestroyAll() {
  // By index, so that an entity queued by a destructor during the flush is destroyed in
  // it too, rather than dropped when the queue is emptied.
  for (size_t i = 0; i < Pending.size(); ++i)
    Scene->Remove(Pending[i]);
  Pending.clear();
}

TAgentEntity::TAgentEntity(TScene* scene)
    : TBaseEntity(0, 0), Scene(scene), Destroyer(std::make_unique<TQueuedEntDestroyer>(scene)) {}

TAgentEntity::~TAgentEntity() = default;

bool TAgentEntity::Update() {
  Destroyer->DestroyAll();
  CollisionPass();
  return false;
}

void TAgentEntity::Add(PBaseEntity e) {
  Scene->Place(e);
}

void TAgentEntity::QueueDestroy(PBaseEntity e) {
  if (e == nullptr) return;
  Destroyer->Add(e);
  // Everyone hears of it now, the entity itself and the agent included, so references are
  // dropped before the entity disappears at the start of the next frame.
  for (uint16_t i = 1; i <= TScene::SlotCount; ++i)
    if (PBaseEntity other = Scene->EntityAt(i)) other->OnEntityDestroyed(e);
}

TBaseEntity* TAgentEntity::FindPlayerFrom(int16_t start) {
  for (int i = start; i <= TScene::SlotCount; ++i) {
    PBaseEntity e = Scene->EntityAt(static_cast<uint16_t>(i));
    if (e == nullptr) continue;
    if (TBaseEntity* player = e->AsPlayer()) return player;
  }
  return nullptr;
}

void TAgentEntity::CollisionPass() {
  for (uint16_t i = 1; i <= TScene::SlotCount; ++i) {
    PBaseEntity a = Scene->EntityAt(i);
    TCollidable* ca = a != nullptr ? a->AsCollidable() : nullptr;
    if (ca == nullptr) continue;
    // A's box is read once per outer step: a Collide that moves A does not change the box
    // used for the rest of this step. B's box is read fresh for every pair.
    TPoint16 a1, a2;
    ca->GetBounds(a1, a2);
    for (uint16_t j = i + 1; j <= TScene::SlotCount; ++j) {
      PBaseEntity b = Scene->EntityAt(j);
      TCollidable* cb = b != nullptr ? b->AsCollidable() : nullptr;
      if (cb == nullptr) continue;
      TPoint16 b1, b2;
      cb->GetBounds(b1, b2);
      if (!BoxesTouch(a1, a2, b1, b2)) continue;
      ca->Collide(*cb, b1, b2);
      cb->Collide(*ca, a1, a2);
    }
  }
}
