// Small entities and a scene for tests: probes that log what is done to them, collidable
// boxes, and a scene whose Setup places only the agent.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/scene.h"
#include "entity/agent.h"
#include "entity/collidable.h"

using TEventLog = std::vector<std::string>;

// Logs its updates, draws and destruction as "<name>:update", "<name>:draw", "<name>:dtor".
class TProbe : public TBaseEntity {
 public:
  TProbe(TEventLog* log, std::string name, bool visible = true)
      : TBaseEntity(0, 0), Log(log), Name(std::move(name)), Visible(visible) {}
  ~TProbe() override { Note("dtor"); }
  bool Update() override {
    Note("update");
    if (OnUpdate) OnUpdate();
    return Visible;
  }
  void Draw(const TSurface&) override { Note("draw"); }
  void OnEntityDestroyed(TBaseEntity* e) override {
    if (OnDestroyed) OnDestroyed(e);
  }
  void Note(const std::string& what) {
    if (Log != nullptr) Log->push_back(Name + ":" + what);
  }

  TEventLog* Log;
  std::string Name;
  bool Visible;
  std::function<void()> OnUpdate;
  std::function<void(TBaseEntity*)> OnDestroyed;
};

// A collidable box; logs its Collide calls as "<name>:collide:<other>@x1,y1,x2,y2".
class TBoxProbe : public TProbe, public TCollidable {
 public:
  TBoxProbe(TEventLog* log, std::string name, TPoint16 topLeft, TPoint16 bottomRight)
      : TProbe(log, std::move(name)), TopLeft(topLeft), BottomRight(bottomRight) {}
  TCollidable* AsCollidable() override { return this; }
  void GetBounds(TPoint16& topLeft, TPoint16& bottomRight) override {
    ++BoundsReads;
    topLeft = TopLeft;
    bottomRight = BottomRight;
  }
  void Collide(TCollidable& other, TPoint16 t, TPoint16 b) override {
    Note("collide:" + dynamic_cast<TBoxProbe&>(other).Name + "@" + std::to_string(t.X) + "," +
         std::to_string(t.Y) + "," + std::to_string(b.X) + "," + std::to_string(b.Y));
    if (OnCollide) OnCollide(other);
  }

  TPoint16 TopLeft, BottomRight;
  int BoundsReads = 0;
  std::function<void(TCollidable&)> OnCollide;
};

// A scene with only its agent; tests place the rest.
class TTestScene : public TScene {
 public:
  void Setup() override {
    Agent = new TAgentEntity(this);
    Place(Agent);
    if (OnSetup) OnSetup(*this);
  }
  std::function<void(TTestScene&)> OnSetup;
};
