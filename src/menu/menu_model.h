// The in-game menu as plain data: its pages and their items, the values the player changes and
// what each command does to them. No device and no font: the menu's answers to the pause
// (platform/pause_menu.h) come from here, and tests drive it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/records_view.h"
#include "platform/pause_menu.h"
#include "platform/player_settings.h"

enum class TMenuPage : uint8_t { Top, Options, Sound, Display, Controls, Keys, Records };

enum class TMenuItemKind : uint8_t {
  Resume,
  Options,
  Records,
  Quit,  // the top
  Sound,
  Display,
  Controls,
  Reset,  // the options
  Volume,
  Mute,  // the sound
  FullScreen,
  Fit,
  Scale,  // the display
  Keys,
  KeySpeed,
  PadDeadZone,
  FocusPause,  // the controls
  Binding,     // an action's keys; Index: the action
  Heads,
  Record,
  NoRecords,  // the records; Index: the record's row
  Back,
};

struct TMenuItem {
  TMenuItemKind Kind = TMenuItemKind::Back;
  size_t Index = 0;
  bool operator==(const TMenuItem&) const = default;
};

// One item as it is shown: its name, its value, and what the player may do with it.
struct TMenuLine {
  std::string Label;
  std::string Value;      // empty for items that have none
  bool Choosable = true;  // false for the records' heads, a record that cannot be watched...
  bool Changes = false;   // Left and Right change its value
};

enum class TMenuCommand : uint8_t { Up, Down, Left, Right, Choose, Back };

// The actions whose keys the menu changes, in the order it lists them.
struct TMenuAction {
  const char* Name;
  std::vector<uint8_t> TKeyBindings::*Keys;
};
extern const TMenuAction MenuActions[9];

class TMenuModel {
 public:
  explicit TMenuModel(TRecordsHooks records = {});

  // The menu opens at its top, with these settings and what the back end can change.
  void Open(const TPlayerSettings& player, const TDisplayChoices& display);
  void Show(const TPlayerSettings& player) { Player = player; }

  // Every command is the menu's. Up and Down move among the items that can be chosen, round
  // from the last to the first; Left and Right step a value; Choose opens a page, acts, or
  // steps a value up, round to its first; Back goes to the page before, and at the top
  // resumes.
  TMenuAnswer Command(TMenuCommand command);
  // Selects the item in line `line` of the page, if it can be chosen.
  TMenuAnswer Select(size_t line);
  // While an action waits for its new key (WaitsForKey): the key replaces the action's keys,
  // and leaves any other action that had it; Escape cancels.
  TMenuAnswer Bind(uint8_t code);
  bool WaitsForKey() const { return Waiting; }
  TMenuAnswer CancelBinding();

  TMenuPage Page() const { return Current; }
  const std::vector<TMenuItem>& Items() const { return PageItems; }
  size_t Selected() const { return Chosen; }
  TMenuLine Line(size_t line) const;
  std::string Heading() const;  // the page's name; empty at the top
  std::string Note() const;     // a hint under the items; empty when there is none
  const TPlayerSettings& Settings() const { return Player; }

 private:
  // Opens a page with `select` chosen, or else its first item that can be.
  void Enter(TMenuPage page, std::optional<TMenuItem> select = std::nullopt);
  void Leave();
  std::vector<TMenuItem> ItemsOf(TMenuPage page) const;
  TMenuAnswer Choose(const TMenuItem& item);
  TMenuAnswer Step(const TMenuItem& item, int direction, bool round);
  TMenuAnswer Changed(const TPlayerSettings& player);
  TMenuAnswer Move(int direction);

  TRecordsHooks Hooks;
  TRecordsView Records;  // as it was when the page opened
  TPlayerSettings Player;
  TDisplayChoices Display;
  TMenuPage Current = TMenuPage::Top;
  std::vector<TMenuItem> PageItems;
  size_t Chosen = 0;
  bool Waiting = false;
};
