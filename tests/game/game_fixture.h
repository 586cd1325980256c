// The game's actors on a test scene: archives whose pictures have sizes the tests choose,
// a scene with only its agent, frames run as the loop runs them, and helpers that find the
// effects the actors create and the entities they place.
#pragma once

#include <string>
#include <vector>

#include "entity/moving.h"
#include "gfx/sprite.h"
#include "support/engine_fixture.h"
#include "support/game_data.h"
#include "support/test_scene.h"
#include "text/base_text.h"

// An actor that remembers every hit it takes; its kind is chosen by the test.
class TVictim : public TMovingEntity {
 public:
  TVictim(int16_t x, int16_t y, TAgentEntity* agent, uint8_t kind = KindCarrot,
          int16_t health = 1000)
      : TMovingEntity(x, y, agent, "victim.pcx", health), KindCode(kind) {}
  uint8_t Kind() override { return KindCode; }
  void Hit(int16_t damage) override {
    Hits.push_back(damage);
    TMovingEntity::Hit(damage);
  }

  uint8_t KindCode;
  std::vector<int16_t> Hits;
};

// A player that can refuse to be found, and counts how often it was asked.
class TShyPlayer : public TPlayerEntity {
 public:
  TShyPlayer(int16_t x, int16_t y, TAgentEntity* agent)
      : TPlayerEntity(x, y, agent, "victim.pcx", 100) {}
  TBaseEntity* AsPlayer() override {
    ++Asked;
    return Found ? this : nullptr;
  }

  bool Found = false;
  int Asked = 0;
};

// An effect animation made by the factory, as the tests look at it.
struct TEffect {
  std::string Name;  // the frames' base name: "explosion" or "blood"
  int16_t X = 0, Y = 0;
  uint16_t FrameCount = 0;
  bool PlaysOnce = false;  // playing, loop limit 1, destroyed at its end
};

class TGameFixture : public TEngineFixture {
 protected:
  // Heights are odd and the actors' widths two more than a multiple of four, so that halving
  // a height and quartering a width truncate. Widths are even because the PCX loader gives
  // an odd-width picture a padding column.
  static constexpr int BusW = 82, BusH = 51;
  static constexpr int CrossW = 18, CrossH = 15;
  static constexpr int PelletW = 14, PelletH = 11;
  static constexpr int GrenadeW = 18, GrenadeH = 13;
  static constexpr int CarrotW = 30, CarrotH = 61;
  static constexpr int MnMW = 30, MnMH = 31;
  static constexpr int DrumboW = 102, DrumboH = 61;
  static constexpr int BossW = 122, BossH = 161;
  static constexpr int VictimW = 40, VictimH = 40;
  static constexpr int WinnerW = 402, WinnerH = 201;
  static constexpr int FingerW = 302, FingerH = 299;
  static constexpr uint16_t WinnerColour = 0x07FF;
  static constexpr uint16_t FingerColour = 0xFFE0;
  static constexpr uint16_t BackgroundColour = 0x2945;

  // The archives of these tests: the default set with the sizes above.
  static TGameDataSet GameData();

  void SetUp() override;
  void TearDown() override;

  // Writes `data` as the archives and empties the image cache, for tests that need other
  // pictures; only before any actor has loaded one.
  void UseData(const TGameDataSet& data);

  TAgentEntity* Agent() { return Scene.Agent; }
  // Hands `e` to the agent, which gives it the lowest free slot.
  template <typename T>
  T* Place(T* e) {
    Scene.Agent->Add(e);
    return e;
  }
  // Runs whole frames of Stage as the loop does: the agent first, then every slot in order.
  void Frame(int count = 1);
  // The effect animations in the slots, in slot order.
  std::vector<TEffect> Effects();
  // True while some slot holds `e`.
  bool InScene(const TBaseEntity* e) const;
  // The number of slots holding an entity of type T.
  template <typename T>
  int CountOf() const {
    int n = 0;
    for (PBaseEntity e : Stage->Slots)
      if (dynamic_cast<T*>(e) != nullptr) ++n;
    return n;
  }

  std::string Dir;
  TTestScene Scene;
  TScene* Stage = &Scene;  // the scene that Frame runs and the lookups search
};

// What a text shows, without the line end its rendering adds.
std::string Shown(const TBaseText& text);
// Expects the collision box `actor` reports.
void ExpectBox(TMovingEntity& actor, TPoint16 topLeft, TPoint16 bottomRight);

bool operator==(const TEffect& a, const TEffect& b);
void PrintTo(const TEffect& e, std::ostream* os);
