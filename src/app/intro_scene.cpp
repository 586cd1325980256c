// Intro scene set-up and the intro director's timeline.
#include "app/intro_scene.h"

#include <string>

#include "audio/audio.h"
#include "entity/agent.h"
#include "gfx/blit.h"
#include "gfx/sprite.h"
#include "res/packfile.h"
#include "text/font_text.h"

TIntroScene::~TIntroScene() {
  PackfileCloseForced(SpritePackfile);
}

void TIntroScene::Setup() {
  SpritePackfile = PackfileOpenResident("SPRITES");
  Agent = new TAgentEntity(this);
  Place(Agent);
  Agent->SetSpritePackage("SPRITES");
  // Holds slot 2 while the director's constructor places the labels and pages, so the
  // director, whose backdrop covers the frame, is drawn before all of them.
  auto* placeholder = new TBaseEntity(0, 0);
  Place(placeholder);
  auto* director = new TIntroDirector(Agent);
  Remove(placeholder);
  Place(director);
  PlayMusic(TMusic::Intro);
}

namespace {

struct TLabel {
  const char* Name;
  int16_t X, Y;
  uint16_t Hold;
};
constexpr TLabel LabelLayout[3] = {
    {"2008", 295, 236, 50}, {"quibbet", 272, 100, 300}, {"quon", 266, 100, 300}};

}  // namespace

TIntroDirector::TIntroDirector(TAgentEntity* agent) : TSceneEntity(0, 0, agent) {
  CreateSurface(Image, 800, 600, true);
  OwnsImage = true;
  for (int i = 0; i < 3; ++i) {
    const TLabel& label = LabelLayout[i];
    Labels[i] = static_cast<TAnimEntity*>(
        agent->CreateEntity(2, 0, label.Name, false, label.X, label.Y, label.Hold, 0, 32, 32));
  }
  for (int n = 1; n <= 4; ++n) {
    auto* page = new THunText(245, 450, agent, 0, 100, 32, 32, 40, 5, false, "FONTS", "fixedsys",
                              "&intro_f" + std::to_string(n) + ".txt@TEXTS");
    page->RenderText();
    agent->Add(page);
    Pages[n - 1] = page;
  }
}

bool TIntroDirector::Update() {
  switch (Ticks) {
    case 5:
      Labels[0]->PlayOnce();
      break;
    case 120:
      Labels[1]->PlayOnce();
      Pages[0]->PlayOnce();
      break;
    case 300:
      Pages[1]->PlayOnce();
      break;
    case 500:
      Labels[2]->PlayOnce();
      Pages[2]->PlayOnce();
      break;
    case 680:
      Pages[3]->PlayOnce();
      break;
    case 900:
      Agent->Finish();
      break;
    default:
      break;
  }
  ++Ticks;
  return true;
}

void TIntroDirector::Draw(const TSurface& frameBuffer) {
  CopyScreen(Image.Pixels, frameBuffer.Pixels);
}
