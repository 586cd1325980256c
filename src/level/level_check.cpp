// The timetable spread out over frames, and the checker's estimate of how full the scene
// gets. The estimate counts every enemy as alive for as long as it can be (none shot down),
// with the slots each takes in the game: the bomber and the boss bring their magazines.
#include <algorithm>
#include <functional>
#include <queue>
#include <set>

#include "level/level.h"

namespace {

constexpr int SceneSlots = 200;
constexpr int AlwaysHeld = 15;  // the agent, the world, the bus, its two displays, ten crosses
constexpr int KeptFree = 5;     // explosions, blood splashes and the ending's picture

struct TFootprint {
  int Slots = 1;
  int Frames = 0;  // how long they are held at most; 0: to the end of the game
};

// An m&m homes in on the bus within about 80 frames; a carrot creeps across the screen at a
// pixel a frame; a grenade keeps its slot when it has flown by; a text goes when it has faded.
TFootprint FootprintOf(const TLevelRow& row) {
  switch (row.Action) {
    case TLevelAction::Text:
      return {1, row.FadeIn + row.Hold + row.FadeOut + 2};
    case TLevelAction::MnM:
      return {1, 100};
    case TLevelAction::Carrot:
      return {1, 800};
    case TLevelAction::Grenade:
      return {1, 0};
    case TLevelAction::Bomber:
      return {81, 0};  // with its 80 grenades
    case TLevelAction::Boss:
      return {83, 0};  // with her 80 pellets and two displays
  }
  return {};
}

}  // namespace

std::vector<TLevelEvent> LevelSchedule(const TLevel& level) {
  std::vector<TLevelEvent> events;
  for (size_t r = 0; r < level.Rows.size(); ++r) {
    const TLevelRow& row = level.Rows[r];
    for (uint32_t k = 0; k < row.Times; ++k)
      events.push_back(
          {static_cast<uint16_t>(row.Frame + k * row.Every), static_cast<uint16_t>(r)});
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const TLevelEvent& a, const TLevelEvent& b) { return a.Frame < b.Frame; });
  return events;
}

std::vector<TLevelNote> CheckLevel(const TLevel& level) {
  std::vector<TLevelNote> notes;
  std::set<size_t> noted;
  auto note = [&](size_t row, std::string reason) {
    if (noted.insert(row).second) notes.push_back({level.Rows[row].Line, std::move(reason)});
  };

  using TRelease = std::pair<int, int>;  // frame, slots
  std::priority_queue<TRelease, std::vector<TRelease>, std::greater<>> releases;
  int held = AlwaysHeld;
  for (const TLevelEvent& event : LevelSchedule(level)) {
    for (; !releases.empty() && releases.top().first <= event.Frame; releases.pop())
      held -= releases.top().second;
    const TFootprint footprint = FootprintOf(level.Rows[event.Row]);
    held += footprint.Slots;
    if (footprint.Frames > 0) releases.push({event.Frame + footprint.Frames, footprint.Slots});
    if (held > SceneSlots - KeptFree)
      note(event.Row, "at frame " + std::to_string(event.Frame) + " the scene would hold " +
                          std::to_string(held) + " entities if nothing were shot down; it has " +
                          std::to_string(SceneSlots) + " slots, " + std::to_string(KeptFree) +
                          " of them wanted for explosions and the ending, and what finds no "
                          "slot never moves");
  }
  if (level.WonAt != 0)
    for (size_t r = 0; r < level.Rows.size(); ++r)
      if (level.Rows[r].Frame > level.WonAt)
        note(r, "the level is won at frame " + std::to_string(level.WonAt) + ", before this row");
  std::stable_sort(notes.begin(), notes.end(),
                   [](const TLevelNote& a, const TLevelNote& b) { return a.Line < b.Line; });
  return notes;
}
