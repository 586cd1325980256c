// Credits scene set-up and the credits director's timeline.
#include "app/credits_scene.h"

#include <memory>
#include <string>

#include "audio/audio.h"
#include "entity/agent.h"
#include "gfx/blit.h"
#include "gfx/sprite.h"
#include "text/font_text.h"

void TCreditsScene::Setup() {
  Agent = new TAgentEntity(this);
  Place(Agent);
  // Holds slot 2 for the director while its constructor places the ten texts.
  auto* placeholder = new TBaseEntity(0, 0);
  Place(placeholder);
  auto* director = new TCreditsDirector(Agent);
  Remove(placeholder);
  Place(director);
  PlayMusic(TMusic::Credits);
}

TCreditsDirector::TCreditsDirector(TAgentEntity* agent) : TSceneEntity(0, 0, agent) {
  CreateSurface(Image, 800, 600, true);
  OwnsImage = true;
  for (int i = 1; i <= 5; ++i) {
    const uint16_t hold = i <= 2 ? 70 : 140;
    const std::string n = std::to_string(i);
    // Held here until both exist: a box raised while the names are built must not leak it.
    auto title = std::make_unique<THunText>(205, 300, agent, 0, hold, 16, 16, 80, 10, true, "FONTS",
                                            "fixedsys", "&credits_t" + n + ".txt@TEXTS");
    auto* names = new THunText(230, 350, agent, 0, hold, 16, 16, 80, 10, true, "FONTS", "courier",
                               "&credits_n" + n + ".txt@TEXTS");
    title->RenderText();
    names->RenderText();
    Titles[i - 1] = title.get();
    agent->Add(title.release());
    agent->Add(names);
    Names[i - 1] = names;
  }
}

bool TCreditsDirector::Update() {
  int pair = -1;
  switch (Ticks) {
    case 5:
      pair = 0;
      break;
    case 105:
      pair = 1;
      break;
    case 205:
      pair = 2;
      break;
    case 375:
      pair = 3;
      break;
    case 545:
      pair = 4;
      break;
    case 720:
      Agent->Finish();
      break;
    default:
      break;
  }
  if (pair >= 0) {
    if (Titles[pair] != nullptr) Titles[pair]->PlayOnce();
    if (Names[pair] != nullptr) Names[pair]->PlayOnce();
  }
  ++Ticks;
  return true;
}

void TCreditsDirector::Draw(const TSurface& frameBuffer) {
  CopyScreen(Image.Pixels, frameBuffer.Pixels);
}

void TCreditsDirector::OnEntityDestroyed(TBaseEntity* e) {
  for (int i = 0; i < 5; ++i) {
    if (Titles[i] == e) Titles[i] = nullptr;
    if (Names[i] == e) Names[i] = nullptr;
  }
}
