// The pilot's decisions. Each frame it lists what is on screen, marks the bus heights where
// something would strike the bus in the next frames, and among the safe heights takes the
// one that lines the crosses up with the enemy it is after. The left button stays down.
#include "game/autopilot.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <vector>

#include "app/game_scene.h"
#include "app/scene.h"
#include "game/bomber.h"
#include "game/boss.h"
#include "game/bus.h"
#include "game/enemies.h"
#include "game/projectile.h"
#include "gfx/window.h"
#include "platform/platform.h"

namespace {

constexpr int TopY = 40;  // the bus's range of heights
constexpr int BottomY = 425;
constexpr int Step = 5;
constexpr int Candidates = (BottomY - TopY) / Step + 1;
constexpr int Horizon = 8;      // frames looked ahead for danger
constexpr int Margin = 4;       // pixels of room kept around every threat
constexpr int BossOffset = 45;  // beside the boss's centre, where she neither aims nor misses

struct TBox {
  int X, Y, W, H;
  int CentreY() const { return Y + H / 2; }
};

TBox BoxOf(const TBaseEntity& e) {
  return {e.X, e.Y, e.Image.Width, e.Image.Height};
}

enum class TThreatMove { Left, Fall, Bounce, Home };

struct TThreat {
  TBox Box;
  TThreatMove Move;
  int Speed;          // pixels per frame, to the left (or down for a falling grenade)
  int Damage;         // what a touch costs
  int Direction = 0;  // a carrot's vertical direction: +1 down, -1 up
};

// What the pilot remembers between frames: where each carrot was, to know which way it goes.
struct TMemory {
  std::map<const TBaseEntity*, int> LastY;
};
TMemory Memory;

// ---- Prediction ----------------------------------------------------------------------

// A carrot's next height, by its bounce between y 40 and a bottom edge of 425.
void StepCarrot(TBox& box, int& direction) {
  if (direction > 0) {
    box.Y += 5;
    if (box.Y + box.H > 425) direction = -1;
  } else {
    box.Y -= 5;
    if (box.Y < 40) direction = 1;
  }
  box.X -= 1;
}

TBox Predict(const TThreat& threat, int frames, int busCentre) {
  TBox box = threat.Box;
  int direction = threat.Direction;
  for (int i = 0; i < frames; ++i) {
    switch (threat.Move) {
      case TThreatMove::Left:
        box.X -= threat.Speed;
        break;
      case TThreatMove::Fall:
        box.Y += threat.Speed;
        break;
      case TThreatMove::Bounce:
        StepCarrot(box, direction);
        break;
      case TThreatMove::Home:
        if (box.CentreY() - 10 > busCentre) box.Y -= 10;
        if (box.CentreY() + 10 < busCentre) box.Y += 10;
        box.X -= 10;
        break;
    }
  }
  return box;
}

bool Overlap(const TBox& a, const TBox& b) {
  return a.X < b.X + b.W + Margin && b.X - Margin < a.X + a.W && a.Y < b.Y + b.H + Margin &&
         b.Y - Margin < a.Y + a.H;
}

int CandidateY(int index) {
  return TopY + index * Step;
}

// Danger of each bus height: the damage that would be taken, weighted by how soon.
std::array<int, Candidates> Danger(const std::vector<TThreat>& threats, const TBox& bus) {
  std::array<int, Candidates> danger{};
  for (const TThreat& threat : threats) {
    for (int c = 0; c < Candidates; ++c) {
      TBox at = bus;
      at.Y = CandidateY(c);
      for (int t = 1; t <= Horizon; ++t) {
        if (Overlap(at, Predict(threat, t, at.CentreY()))) {
          danger[c] += threat.Damage * (Horizon + 1 - t);
          break;
        }
      }
    }
  }
  return danger;
}

// ---- What is on screen ------------------------------------------------------------------

struct TView {
  const TPlayerBus* Bus = nullptr;
  std::vector<TThreat> Threats;
  std::vector<const TBaseEntity*> Small;  // m&ms and carrots, to shoot first
  const TZelvina* Boss = nullptr;
  const TDrumbo* Bomber = nullptr;
};

bool OnScreen(const TBox& box) {
  return box.X < 800 && box.X + box.W > 0;
}

void Look(const TScene& scene, TView& view) {
  for (int i = 1; i <= TScene::SlotCount; ++i) {
    const TBaseEntity* e = scene.EntityAt(static_cast<uint16_t>(i));
    if (e == nullptr) continue;
    const TBox box = BoxOf(*e);
    if (auto* bus = dynamic_cast<const TPlayerBus*>(e)) {
      view.Bus = bus;
    } else if (auto* shot = dynamic_cast<const TProjectile*>(e)) {
      if (!shot->IsFlying() || dynamic_cast<const THolyCross*>(e) != nullptr) continue;
      if (dynamic_cast<const TFallingGrenade*>(e) != nullptr)
        view.Threats.push_back({box, TThreatMove::Fall, 2, 20});
      else if (dynamic_cast<const TGrenade*>(e) != nullptr)
        view.Threats.push_back({box, TThreatMove::Left, 15, 20});
      else
        view.Threats.push_back({box, TThreatMove::Left, 5, 5});
    } else if (dynamic_cast<const TCarrot*>(e) != nullptr) {
      const auto last = Memory.LastY.find(e);
      int direction = box.CentreY() > 300 ? -1 : 1;
      if (last != Memory.LastY.end() && last->second != box.Y)
        direction = box.Y > last->second ? 1 : -1;
      view.Threats.push_back({box, TThreatMove::Bounce, 1, 75, direction});
      if (OnScreen(box)) view.Small.push_back(e);
    } else if (dynamic_cast<const TMnM*>(e) != nullptr) {
      view.Threats.push_back({box, TThreatMove::Home, 10, 15});
      if (OnScreen(box)) view.Small.push_back(e);
    } else if (auto* boss = dynamic_cast<const TZelvina*>(e)) {
      if (OnScreen(box)) view.Boss = boss;
    } else if (auto* bomber = dynamic_cast<const TDrumbo*>(e)) {
      if (OnScreen(box) && !bomber->Dying) view.Bomber = bomber;
    }
  }
}

void Remember(const TScene& scene) {
  Memory.LastY.clear();
  for (int i = 1; i <= TScene::SlotCount; ++i)
    if (const TBaseEntity* e = scene.EntityAt(static_cast<uint16_t>(i)))
      if (dynamic_cast<const TCarrot*>(e) != nullptr) Memory.LastY[e] = e->Y;
}

// ---- Aiming -----------------------------------------------------------------------------

// The height of a cross's centre for a bus at y: crosses leave at the bus's middle.
int CrossCentre(const TBox& bus, int y, int crossHeight) {
  return y + bus.H / 2 + crossHeight / 2;
}

// Where the enemy's centre will be when a cross fired now reaches it.
int AimFor(const TBaseEntity& e, const TBox& bus) {
  const TBox box = BoxOf(e);
  const int crossX = bus.X + bus.W + 5;
  if (dynamic_cast<const TCarrot*>(&e) != nullptr) {
    const int frames = std::max(0, (box.X - crossX) / 6);
    const auto last = Memory.LastY.find(&e);
    int direction = box.CentreY() > 300 ? -1 : 1;
    if (last != Memory.LastY.end() && last->second != box.Y)
      direction = box.Y > last->second ? 1 : -1;
    TThreat carrot{box, TThreatMove::Bounce, 1, 0, direction};
    return Predict(carrot, frames, 0).CentreY();
  }
  return box.CentreY();
}

// The cost of each height for lining up with the target; 0 is perfect.
int AimCost(const TView& view, const TBox& bus, int y, int crossHeight, int currentY) {
  const int cross = CrossCentre(bus, y, crossHeight);
  if (!view.Small.empty()) {
    // The nearest small enemy first: it is the one that arrives first.
    const TBaseEntity* nearest =
        *std::min_element(view.Small.begin(), view.Small.end(),
                          [](const TBaseEntity* a, const TBaseEntity* b) { return a->X < b->X; });
    return std::abs(cross - AimFor(*nearest, bus));
  }
  if (view.Boss != nullptr) {
    // She aims only when her centre is within 30 pixels of the bus's: stay just beyond
    // that, on the side the bus is on, and the crosses still meet her body.
    const int herCentre = BoxOf(*view.Boss).CentreY();
    const int mine = y + bus.H / 2;
    const int side = currentY + bus.H / 2 >= herCentre ? 1 : -1;
    const int wanted = herCentre + side * BossOffset;
    const int other = herCentre - side * BossOffset;
    return std::min(std::abs(mine - wanted), std::abs(mine - other) + 60);
  }
  if (view.Bomber != nullptr) return std::abs(cross - AimFor(*view.Bomber, bus));
  return std::abs(y - 230) / 4;  // nothing to shoot: wait in the middle
}

void Press(int y, bool held) {
  TPlatform& platform = CurrentPlatform();
  platform.PostMessage({Wm::MouseMove, held ? MkLButton : 0u,
                        MouseParam(80, static_cast<uint16_t>(std::clamp(y, 0, 599)))});
  if (!held) platform.PostMessage({Wm::LButtonDown, 0, 0});
}

}  // namespace

void StartAutopilot() {
  Memory = TMemory{};
  FrameWatcher = AutopilotFrame;
}

void AutopilotFrame(const TScene& scene) {
  if (dynamic_cast<const TGameScene*>(&scene) == nullptr) return;
  TView view;
  Look(scene, view);
  if (view.Bus == nullptr) return;
  const TBox bus = BoxOf(*view.Bus);
  const int crossHeight = view.Bus->Crosses[0] != nullptr ? view.Bus->Crosses[0]->Image.Height : 0;
  const std::array<int, Candidates> danger = Danger(view.Threats, bus);
  int best = 0;
  long bestScore = -1;
  for (int c = 0; c < Candidates; ++c) {
    const int y = CandidateY(c);
    const long score = static_cast<long>(danger[c]) * 100000 +
                       AimCost(view, bus, y, crossHeight, bus.Y) * 10 + std::abs(y - bus.Y) / 50;
    if (bestScore < 0 || score < bestScore) {
      bestScore = score;
      best = y;
    }
  }
  Remember(scene);
  Press(best, Input.MouseLeft);
}
