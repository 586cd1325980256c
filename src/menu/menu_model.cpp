// The menu's pages, their items and values, and what its commands do.
#include "menu/menu_model.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/key_names.h"
#include "platform/keys.h"

const TMenuAction MenuActions[9] = {
    {"Up", &TKeyBindings::Up},
    {"Down", &TKeyBindings::Down},
    {"Fire", &TKeyBindings::Fire},
    {"Pause", &TKeyBindings::Pause},
    {"Volume down", &TKeyBindings::VolumeDown},
    {"Volume up", &TKeyBindings::VolumeUp},
    {"Mute", &TKeyBindings::Mute},
    {"Full screen", &TKeyBindings::FullScreen},
    {"Screenshot", &TKeyBindings::Screenshot},
};

namespace {

using TKind = TMenuItemKind;

// The values Left and Right step through; a value in between (from the file) steps to the
// next one on either side.
std::vector<int> Range(int first, int last, int step) {
  std::vector<int> values;
  for (int v = first; v <= last; v += step)
    values.push_back(v);
  return values;
}
const std::vector<int> VolumeSteps = Range(0, 100, 10);
const std::vector<int> KeySpeedSteps = {1, 2, 3, 4, 6, 8, 10, 12, 15, 20, 25, 30, 40, 50, 60};
const std::vector<int> DeadZoneSteps = Range(0, 90, 5);

int StepThrough(const std::vector<int>& values, int current, int direction, bool round) {
  if (direction > 0) {
    const auto up = std::upper_bound(values.begin(), values.end(), current);
    if (up != values.end()) return *up;
    return round ? values.front() : current;
  }
  const auto down = std::lower_bound(values.begin(), values.end(), current);
  return down != values.begin() ? *std::prev(down) : current;
}

TMenuLine Named(const char* label) {
  return {label, "", true, false};
}

// A value that Left and Right change.
TMenuLine Valued(const char* label, std::string value) {
  return {label, std::move(value), true, true};
}

const char* YesNo(bool value) {
  return value ? "yes" : "no";
}

// Each page's parent, and the parent's item that leads to it.
struct TParent {
  TMenuPage Page;
  TMenuPage Parent;
  TKind Item;
};
constexpr TParent Parents[] = {
    {TMenuPage::Options, TMenuPage::Top, TKind::Options},
    {TMenuPage::Records, TMenuPage::Top, TKind::Records},
    {TMenuPage::Sound, TMenuPage::Options, TKind::Sound},
    {TMenuPage::Display, TMenuPage::Options, TKind::Display},
    {TMenuPage::Controls, TMenuPage::Options, TKind::Controls},
    {TMenuPage::Keys, TMenuPage::Controls, TKind::Keys},
};

// The page an item opens, for the items that open one.
bool Opens(TKind kind, TMenuPage& page) {
  for (const TParent& link : Parents)
    if (link.Item == kind) {
      page = link.Page;
      return true;
    }
  return false;
}

TMenuAnswer Taken(bool redraw = false) {
  TMenuAnswer answer;
  answer.Taken = true;
  answer.Redraw = redraw;
  return answer;
}

TMenuAnswer Ends(TMenuEnd end) {
  TMenuAnswer answer = Taken();
  answer.End = end;
  return answer;
}

}  // namespace

TMenuModel::TMenuModel(TRecordsHooks records) : Hooks(std::move(records)) {}

// ---- Pages -----------------------------------------------------------------------------

void TMenuModel::Open(const TPlayerSettings& player, const TDisplayChoices& display) {
  Player = player;
  Display = display;
  Enter(TMenuPage::Top);
}

void TMenuModel::Enter(TMenuPage page, std::optional<TMenuItem> select) {
  if (page == TMenuPage::Records) Records = Hooks.View ? Hooks.View() : TRecordsView{};
  Current = page;
  PageItems = ItemsOf(page);
  Waiting = false;
  const auto found = std::find(PageItems.begin(), PageItems.end(), select);
  Chosen = static_cast<size_t>(found - PageItems.begin());
  if (!select || found == PageItems.end() || !Line(Chosen).Choosable) {
    Chosen = 0;
    while (Chosen + 1 < PageItems.size() && !Line(Chosen).Choosable)
      ++Chosen;
  }
}

void TMenuModel::Leave() {
  for (const TParent& link : Parents)
    if (link.Page == Current) return Enter(link.Parent, TMenuItem{link.Item});
}

std::vector<TMenuItem> TMenuModel::ItemsOf(TMenuPage page) const {
  std::vector<TMenuItem> items;
  const auto add = [&items](TKind kind, size_t index = 0) { items.push_back({kind, index}); };
  switch (page) {
    case TMenuPage::Top:
      add(TKind::Resume);
      add(TKind::Options);
      add(TKind::Records);  // an empty table when the run keeps none
      add(TKind::Quit);
      return items;
    case TMenuPage::Options:
      add(TKind::Sound);
      if (Display.FullScreen || Display.Fit || (Display.Scale && Display.MaxScale > 1))
        add(TKind::Display);
      add(TKind::Controls);
      add(TKind::Reset);
      break;
    case TMenuPage::Sound:
      add(TKind::Volume);
      add(TKind::Mute);
      break;
    case TMenuPage::Display:
      if (Display.FullScreen) add(TKind::FullScreen);
      if (Display.Fit) add(TKind::Fit);
      if (Display.Scale && Display.MaxScale > 1) add(TKind::Scale);
      break;
    case TMenuPage::Controls:
      add(TKind::Keys);
      add(TKind::KeySpeed);
      add(TKind::PadDeadZone);
      add(TKind::FocusPause);
      break;
    case TMenuPage::Keys:
      for (size_t i = 0; i < std::size(MenuActions); ++i)
        add(TKind::Binding, i);
      break;
    case TMenuPage::Records:
      if (Records.Rows.empty()) add(TKind::NoRecords);
      if (!Records.Rows.empty()) add(TKind::Heads);
      for (size_t i = 0; i < Records.Rows.size(); ++i)
        add(TKind::Record, i);
      break;
  }
  add(TKind::Back);  // for a pointer or a finger, which have no Escape
  return items;
}

// ---- What is shown ---------------------------------------------------------------------

TMenuLine TMenuModel::Line(size_t line) const {
  const TMenuItem& item = PageItems.at(line);
  switch (item.Kind) {
    case TKind::Resume:
      return Named("Resume");
    case TKind::Options:
      return Named("Options");
    case TKind::Records:
      return Named("Records");
    case TKind::Quit:
      return Named("Quit");
    case TKind::Sound:
      return Named("Sound");
    case TKind::Display:
      return Named("Display");
    case TKind::Controls:
      return Named("Controls");
    case TKind::Reset:
      return Named("Reset to defaults");
    case TKind::Volume:
      return Valued("Volume", std::to_string(Player.Volume));
    case TKind::Mute:
      return Valued("Mute", YesNo(Player.Mute));
    case TKind::FullScreen:
      return Valued("Full screen", YesNo(Player.FullScreen));
    case TKind::Fit:
      return Valued("Fit", Player.Fit == TFitMode::Integer ? "integer" : "sharp");
    case TKind::Scale:
      return Valued("Window size", std::to_string(Player.Scale) + "x");
    case TKind::Keys:
      return Named("Keys");
    case TKind::KeySpeed:
      return Valued("Key speed", std::to_string(Player.KeySpeed));
    case TKind::PadDeadZone:
      return Valued("Pad dead zone", std::to_string(Player.PadDeadZone) + "%");
    case TKind::FocusPause:
      return Valued("Pause on focus loss", YesNo(Player.PauseOnFocusLoss));
    case TKind::Binding: {
      const std::vector<uint8_t>& keys = Player.Keys.*MenuActions[item.Index].Keys;
      std::string shown = keys.empty() ? "none" : KeyNames(keys);
      if (Waiting && line == Chosen) shown = "press a key";
      return {MenuActions[item.Index].Name, shown, true, false};
    }
    case TKind::Heads:
      return {Records.Heads, "", false, false};
    case TKind::Record: {
      const bool watchable = item.Index < Records.Watchable.size() && Records.Watchable[item.Index];
      return {Records.Rows[item.Index], "", watchable, false};
    }
    case TKind::NoRecords:
      return {"No records yet", "", false, false};
    case TKind::Back:
      return Named("Back");
  }
  return Named("");
}

std::string TMenuModel::Heading() const {
  switch (Current) {
    case TMenuPage::Top:
      return "";
    case TMenuPage::Options:
      return "OPTIONS";
    case TMenuPage::Sound:
      return "SOUND";
    case TMenuPage::Display:
      return "DISPLAY";
    case TMenuPage::Controls:
      return "CONTROLS";
    case TMenuPage::Keys:
      return "KEYS";
    case TMenuPage::Records:
      return "RECORDS";
  }
  return "";
}

std::string TMenuModel::Note() const {
  if (Waiting) return "Press the new key; Escape cancels";
  switch (Current) {
    case TMenuPage::Top:
      // Escape at the top goes on to the game, as in any pause.
      if (Player.Keys.Pause.empty()) return "Escape ends the scene";
      return KeyName(Player.Keys.Pause.front()) + " resumes, Escape ends the scene";
    case TMenuPage::Keys:
      return "Choose an action, then press its new key";
    case TMenuPage::Records:
      return Records.Rows.empty() ? "" : "Choose a record to watch it again";
    case TMenuPage::Options:
      return "Escape goes back";
    default:
      return "Left and Right change a value, Escape goes back";
  }
}

// ---- Commands --------------------------------------------------------------------------

TMenuAnswer TMenuModel::Command(TMenuCommand command) {
  const TMenuItem item = PageItems.at(Chosen);
  switch (command) {
    case TMenuCommand::Up:
      return Move(-1);
    case TMenuCommand::Down:
      return Move(1);
    case TMenuCommand::Left:
      return Step(item, -1, false);
    case TMenuCommand::Right:
      return Step(item, 1, false);
    case TMenuCommand::Choose:
      return Choose(item);
    case TMenuCommand::Back:
      if (Current == TMenuPage::Top) return Ends(TMenuEnd::Resume);
      Leave();
      return Taken(true);
  }
  return Taken();
}

TMenuAnswer TMenuModel::Move(int direction) {
  const size_t count = PageItems.size();
  for (size_t step = 1; step < count; ++step) {
    const size_t line = (Chosen + count + direction * static_cast<int>(step)) % count;
    if (Line(line).Choosable) return Select(line);
  }
  return Taken();
}

TMenuAnswer TMenuModel::Select(size_t line) {
  if (line >= PageItems.size() || line == Chosen || !Line(line).Choosable) return Taken();
  Chosen = line;
  Waiting = false;
  return Taken(true);
}

TMenuAnswer TMenuModel::Choose(const TMenuItem& item) {
  TMenuPage page;
  if (Opens(item.Kind, page)) {
    Enter(page);
    return Taken(true);
  }
  switch (item.Kind) {
    case TKind::Resume:
      return Ends(TMenuEnd::Resume);
    case TKind::Quit:
      return Ends(TMenuEnd::Quit);
    case TKind::Back:
      Leave();
      return Taken(true);
    case TKind::Reset: {
      // What the back end cannot change now stays as it is, rather than wait for a next run.
      TPlayerSettings defaults;
      if (!Display.FullScreen) defaults.FullScreen = Player.FullScreen;
      if (!Display.Fit) defaults.Fit = Player.Fit;
      if (!Display.Scale) defaults.Scale = Player.Scale;
      return Changed(defaults);
    }
    case TKind::Binding:
      Waiting = true;
      return Taken(true);
    case TKind::Record:
      if (!Line(Chosen).Choosable) return Taken();
      if (Hooks.Watch) Hooks.Watch(item.Index);
      return Ends(TMenuEnd::Quit);  // the record plays once this run has ended
    default:
      return Step(item, 1, true);
  }
}

TMenuAnswer TMenuModel::Step(const TMenuItem& item, int direction, bool round) {
  TPlayerSettings player = Player;
  switch (item.Kind) {
    case TKind::Volume:
      player.Volume = StepThrough(VolumeSteps, Player.Volume, direction, round);
      player.Mute = false;  // as the volume keys do: a player who turns it up wants to hear
      break;
    case TKind::Mute:
      player.Mute = !player.Mute;
      break;
    case TKind::FullScreen:
      player.FullScreen = !player.FullScreen;
      break;
    case TKind::Fit:
      player.Fit = player.Fit == TFitMode::Sharp ? TFitMode::Integer : TFitMode::Sharp;
      break;
    case TKind::Scale:
      player.Scale = StepThrough(Range(1, Display.MaxScale, 1), Player.Scale, direction, round);
      break;
    case TKind::KeySpeed:
      player.KeySpeed = StepThrough(KeySpeedSteps, Player.KeySpeed, direction, round);
      break;
    case TKind::PadDeadZone:
      player.PadDeadZone = StepThrough(DeadZoneSteps, Player.PadDeadZone, direction, round);
      break;
    case TKind::FocusPause:
      player.PauseOnFocusLoss = !player.PauseOnFocusLoss;
      break;
    default:
      return Taken();
  }
  if (player == Player) return Taken();
  return Changed(player);
}

TMenuAnswer TMenuModel::Changed(const TPlayerSettings& player) {
  Player = player;
  TMenuAnswer answer = Taken(true);
  answer.Settings = player;
  return answer;
}

// ---- Keys ------------------------------------------------------------------------------

TMenuAnswer TMenuModel::Bind(uint8_t code) {
  if (!Waiting) return Taken();
  if (code == Vk::Escape) return CancelBinding();
  Waiting = false;
  TPlayerSettings player = Player;
  // A key does one thing: whatever action had it gives it up.
  for (const TMenuAction& action : MenuActions)
    std::erase(player.Keys.*action.Keys, code);
  player.Keys.*MenuActions[PageItems.at(Chosen).Index].Keys = {code};
  return Changed(player);
}

TMenuAnswer TMenuModel::CancelBinding() {
  const bool was = Waiting;
  Waiting = false;
  return Taken(was);
}
