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

namespace {

// The collidable slots with their boxes, in slot order.
struct TCollisionSweep {
  struct TEntry {
    uint16_t Slot;
    TCollidable* Side;
    TPoint16 TopLeft, BottomRight;
  };

  // Keeps the first `at` entries and takes the rest afresh from `firstSlot` on.
  void TakeFrom(const TScene& scene, size_t at, int firstSlot) {
    Count = at;
    for (int slot = firstSlot; slot <= TScene::SlotCount; ++slot) {
      PBaseEntity e = scene.Slots[slot - 1];
      TCollidable* side = e != nullptr ? e->AsCollidable() : nullptr;
      if (side == nullptr) continue;
      TEntry& entry = Entries[Count++];
      entry.Slot = static_cast<uint16_t>(slot);
      entry.Side = side;
      side->GetBounds(entry.TopLeft, entry.BottomRight);
    }
  }

  TEntry Entries[TScene::SlotCount];
  size_t Count = 0;
};

}  // namespace

// Every pair of collidable slots i < j is tested once, in slot order, and both sides hear
// of a touch. A's box is read once per outer step, so a Collide that moves A does not change
// the box used for the rest of that step; B's box is as of the moment the pair is tested.
//
// The slots, their collidable sides and their boxes are taken in one sweep instead of being
// asked again for each of up to 19,900 pairs. GetBounds and AsCollidable change nothing, so
// the answers change only through a Collide call; after every touch, whatever the pass has
// still to look at is taken afresh.
void TAgentEntity::CollisionPass() {
  TCollisionSweep sweep;
  sweep.TakeFrom(*Scene, 0, 1);
  bool touched = false;
  for (size_t n = 0; n < sweep.Count; ++n) {
    if (touched) {
      sweep.TakeFrom(*Scene, n, sweep.Entries[n - 1].Slot + 1);
      touched = false;
      if (n >= sweep.Count) break;
    }
    const TCollisionSweep::TEntry a = sweep.Entries[n];
    for (size_t m = n + 1; m < sweep.Count; ++m) {
      const TCollisionSweep::TEntry b = sweep.Entries[m];
      if (!BoxesTouch(a.TopLeft, a.BottomRight, b.TopLeft, b.BottomRight)) continue;
      a.Side->Collide(*b.Side, b.TopLeft, b.BottomRight);
      b.Side->Collide(*a.Side, a.TopLeft, a.BottomRight);
      sweep.TakeFrom(*Scene, m + 1, b.Slot + 1);
      touched = true;
    }
  }
}
