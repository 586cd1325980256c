// Scene slots and the frame loop.
#include "app/scene.h"

#include <cstdio>

#include "audio/audio.h"
#include "entity/agent.h"
#include "gfx/display.h"
#include "gfx/window.h"
#include "platform/platform.h"

TFrameWatcher FrameWatcher;

const char* SceneEndName(TSceneEnd end) {
  switch (end) {
    case TSceneEnd::Finished:
      return "finished";
    case TSceneEnd::Escape:
      return "escape";
    case TSceneEnd::Closed:
      return "closed";
    case TSceneEnd::MaxFrames:
      return "max-frames";
  }
  return "unknown";
}

TScene::TScene() {
  CreateSurface(FrameBuffer, 800, 600, true);
}

TScene::~TScene() {
  for (int i = SlotCount; i >= 1; --i)
    delete Slots[i - 1];
  Unplaced.clear();
  FreeSurface(FrameBuffer);
}

PBaseEntity TScene::EntityAt(uint16_t i) const {
  if (i < 1 || i > SlotCount) return nullptr;
  return Slots[i - 1];
}

void TScene::Place(PBaseEntity e) {
  for (PBaseEntity& slot : Slots) {
    if (slot == nullptr) {
      slot = e;
      return;
    }
  }
  if (Unplaced.empty()) std::fprintf(stderr, "scene full: further entities stay hidden\n");
  Unplaced.emplace_back(e);
}

void TScene::Remove(PBaseEntity e) {
  for (PBaseEntity& slot : Slots) {
    if (slot == e) {
      // Cleared before the destructor runs, so a second Remove of the same entity finds
      // nothing: the destroy queue relies on that for entities queued twice.
      slot = nullptr;
      delete e;
      return;
    }
  }
}

void TScene::UpdateAndDraw() {
  FillSurface(FrameBuffer, 0);
  for (int i = 0; i < SlotCount; ++i) {
    // Read afresh each step: entities placed during this frame above the current slot are
    // updated in it.
    PBaseEntity e = Slots[i];
    if (e != nullptr && e->Update()) e->Draw(FrameBuffer);
  }
}

TSceneEnd TScene::Run(uint64_t maxTotalFrames) {
  for (;;) {
    UpdateAndDraw();
    PresentSurface(FrameBuffer.Pixels);
    AudioFrame();
    ++FramesRun;
    if (FrameWatcher) FrameWatcher(*this);
    PumpMessages();
    WaitWhileInactive();
    CurrentPlatform().WaitForNextFrame();
    if (!Input.WindowAlive) return TSceneEnd::Closed;
    if (Input.Keys[Vk::Escape] != 0) return TSceneEnd::Escape;
    if (Agent->IsFinished()) return TSceneEnd::Finished;
    if (maxTotalFrames != 0 && Display.FramesPresented >= maxTotalFrames)
      return TSceneEnd::MaxFrames;
  }
}
