// The in-game menu without a device or a font: moving among its items, stepping values within
// their bounds, new keys for the actions, what a back end cannot change left out, the records,
// and how the player's keys, pointer and pad become its commands.
#include <gtest/gtest.h>

#include "menu/in_game_menu.h"
#include "menu/menu_layout.h"
#include "menu/menu_model.h"
#include "platform/keys.h"

namespace {

using TKind = TMenuItemKind;

const TDisplayChoices Everything{true, true, true, 3};

TMenuItem Chosen(const TMenuModel& menu) {
  return menu.Items().at(menu.Selected());
}

// Goes down to the item of that kind on the page and chooses it.
TMenuAnswer ChooseItem(TMenuModel& menu, TKind kind, size_t index = 0) {
  for (size_t i = 0; i < menu.Items().size() && !(Chosen(menu) == TMenuItem{kind, index}); ++i)
    menu.Command(TMenuCommand::Down);
  EXPECT_EQ(Chosen(menu), (TMenuItem{kind, index}));
  return menu.Command(TMenuCommand::Choose);
}

std::vector<TKind> Kinds(const TMenuModel& menu) {
  std::vector<TKind> kinds;
  for (const TMenuItem& item : menu.Items())
    kinds.push_back(item.Kind);
  return kinds;
}

TRecordsHooks TwoRecords(std::vector<size_t>& watched) {
  TRecordsHooks hooks;
  hooks.View = [] {
    return TRecordsView{"  # when    how", {"  1 today   won", "  2 today   lost"}, {false, true}};
  };
  hooks.Watch = [&watched](size_t row) { watched.push_back(row); };
  return hooks;
}

}  // namespace

TEST(MenuModel, UpAndDownGoRoundTheEndsAndBackReturnsToTheItemThatLedThere) {
  TMenuModel menu;
  menu.Open({}, Everything);
  EXPECT_EQ(Kinds(menu),
            (std::vector<TKind>{TKind::Resume, TKind::Options, TKind::Records, TKind::Quit}));
  EXPECT_EQ(Chosen(menu).Kind, TKind::Resume);
  menu.Command(TMenuCommand::Up);
  EXPECT_EQ(Chosen(menu).Kind, TKind::Quit);
  menu.Command(TMenuCommand::Down);
  menu.Command(TMenuCommand::Down);
  EXPECT_TRUE(menu.Command(TMenuCommand::Choose).Redraw);
  EXPECT_EQ(menu.Page(), TMenuPage::Options);
  EXPECT_EQ(Chosen(menu).Kind, TKind::Sound) << "a page opens at its first item";
  ChooseItem(menu, TKind::Controls);
  menu.Command(TMenuCommand::Back);
  EXPECT_EQ(Chosen(menu).Kind, TKind::Controls);
  ChooseItem(menu, TKind::Back);
  EXPECT_EQ(menu.Page(), TMenuPage::Top);
  EXPECT_EQ(Chosen(menu).Kind, TKind::Options);

  EXPECT_EQ(menu.Command(TMenuCommand::Back).End, TMenuEnd::Resume) << "Back at the top";
  EXPECT_EQ(ChooseItem(menu, TKind::Quit).End, TMenuEnd::Quit);
  menu.Open({}, Everything);
  EXPECT_EQ(menu.Page(), TMenuPage::Top) << "each pause opens the menu at its top";
}

TEST(MenuModel, ValuesStepWithinTheirBoundsAndChooseGoesRoundToTheFirst) {
  TMenuModel menu;
  TPlayerSettings player;
  player.Volume = 55;  // from the file, between two steps
  player.Mute = true;
  menu.Open(player, Everything);
  ChooseItem(menu, TKind::Options);
  ChooseItem(menu, TKind::Sound);
  TMenuAnswer answer = menu.Command(TMenuCommand::Left);
  ASSERT_TRUE(answer.Settings);
  EXPECT_EQ(answer.Settings->Volume, 50);
  EXPECT_FALSE(answer.Settings->Mute) << "turned down or up, the sound is heard, as with the keys";
  menu.Command(TMenuCommand::Right);
  EXPECT_EQ(menu.Settings().Volume, 60);
  for (int i = 0; i < 5; ++i)
    menu.Command(TMenuCommand::Right);
  EXPECT_EQ(menu.Settings().Volume, 100);
  EXPECT_FALSE(menu.Command(TMenuCommand::Right).Settings) << "no step beyond the top";
  EXPECT_EQ(menu.Command(TMenuCommand::Choose).Settings->Volume, 0) << "round to the first";
  EXPECT_FALSE(menu.Command(TMenuCommand::Left).Settings) << "nor below the bottom";
  menu.Command(TMenuCommand::Down);
  EXPECT_TRUE(menu.Command(TMenuCommand::Right).Settings->Mute) << "a flag flips either way";

  menu.Command(TMenuCommand::Back);
  ChooseItem(menu, TKind::Controls);
  ChooseItem(menu, TKind::KeySpeed);  // 12, stepped up to 15
  EXPECT_EQ(menu.Settings().KeySpeed, 15);
  menu.Command(TMenuCommand::Down);
  for (int i = 0; i < 6; ++i)
    menu.Command(TMenuCommand::Left);
  EXPECT_EQ(menu.Settings().PadDeadZone, 0);
  menu.Command(TMenuCommand::Up);
  EXPECT_EQ(menu.Line(menu.Selected()).Value, "15");
  menu.Command(TMenuCommand::Back);
  EXPECT_EQ(ChooseItem(menu, TKind::Reset).Settings, TPlayerSettings{});
}

TEST(MenuModel, ANewKeyReplacesTheActionsKeysAndLeavesEveryOtherActionEscapeCancels) {
  TMenuModel menu;
  menu.Open({}, Everything);
  ChooseItem(menu, TKind::Options);
  ChooseItem(menu, TKind::Controls);
  ChooseItem(menu, TKind::Keys);
  ChooseItem(menu, TKind::Binding, 2);
  EXPECT_STREQ(MenuActions[2].Name, "Fire");
  EXPECT_TRUE(menu.WaitsForKey());
  EXPECT_EQ(menu.Line(menu.Selected()).Value, "press a key");
  const TMenuAnswer cancelled = menu.Bind(Vk::Escape);
  EXPECT_FALSE(menu.WaitsForKey());
  EXPECT_FALSE(cancelled.Settings);
  EXPECT_EQ(menu.Line(menu.Selected()).Value, "Ctrl Z J");

  menu.Command(TMenuCommand::Choose);
  const TMenuAnswer bound = menu.Bind(Vk::Letter('P'));
  ASSERT_TRUE(bound.Settings);
  EXPECT_EQ(bound.Settings->Keys.Fire, std::vector<uint8_t>{Vk::Letter('P')});
  EXPECT_EQ(bound.Settings->Keys.Pause, std::vector<uint8_t>{Vk::Pause}) << "P is fire's now";
  EXPECT_EQ(menu.Page(), TMenuPage::Keys);
}

TEST(MenuModel, WhatTheBackEndCannotChangeIsNotOfferedAndResetLeavesItAlone) {
  TMenuModel menu;
  TPlayerSettings player;
  player.FullScreen = false;
  player.Scale = 2;
  player.Volume = 10;
  menu.Open(player, {});  // a window made once, as Windows' is
  ChooseItem(menu, TKind::Options);
  EXPECT_EQ(Kinds(menu),
            (std::vector<TKind>{TKind::Sound, TKind::Controls, TKind::Reset, TKind::Back}));
  const TMenuAnswer reset = ChooseItem(menu, TKind::Reset);
  ASSERT_TRUE(reset.Settings);
  EXPECT_EQ(reset.Settings->Volume, 100);
  EXPECT_FALSE(reset.Settings->FullScreen);
  EXPECT_EQ(reset.Settings->Scale, 2);

  menu.Open(player, {true, true, false, 1});  // a page: no window size of its own
  ChooseItem(menu, TKind::Options);
  ChooseItem(menu, TKind::Display);
  EXPECT_EQ(Kinds(menu), (std::vector<TKind>{TKind::FullScreen, TKind::Fit, TKind::Back}));
  menu.Open(player, {false, false, true, 1});  // a desktop too small for a larger window
  ChooseItem(menu, TKind::Options);
  EXPECT_EQ(Kinds(menu).size(), 4u) << "no display page with nothing on it";
}

TEST(MenuModel, AWatchableRecordChosenPlaysOnceTheRunHasEndedAndNoHooksShowAnEmptyTable) {
  std::vector<size_t> watched;
  TMenuModel menu(TwoRecords(watched));
  menu.Open({}, Everything);
  ChooseItem(menu, TKind::Records);
  EXPECT_EQ(Kinds(menu),
            (std::vector<TKind>{TKind::Heads, TKind::Record, TKind::Record, TKind::Back}));
  EXPECT_EQ(Chosen(menu), (TMenuItem{TKind::Record, 1})) << "the heads and row 0 cannot be";
  menu.Command(TMenuCommand::Down);
  menu.Command(TMenuCommand::Down);
  EXPECT_EQ(Chosen(menu), (TMenuItem{TKind::Record, 1})) << "round past the others";
  EXPECT_EQ(menu.Command(TMenuCommand::Choose).End, TMenuEnd::Quit);
  EXPECT_EQ(watched, std::vector<size_t>{1});

  TMenuModel empty;  // a run that keeps no records
  empty.Open({}, Everything);
  ChooseItem(empty, TKind::Records);
  EXPECT_EQ(empty.Line(0).Label, "No records yet");
  EXPECT_EQ(Chosen(empty).Kind, TKind::Back);
}

TEST(MenuModel, EveryTextIsMadeOfCharactersTheFontDraws) {
  std::vector<size_t> watched;
  TMenuModel menu(TwoRecords(watched));
  std::string texts;
  const auto visit = [&](auto& self, TMenuPage page) -> void {
    ASSERT_EQ(menu.Page(), page);
    texts += menu.Heading() + menu.Note();
    for (size_t i = 0; i < menu.Items().size(); ++i)
      texts += menu.Line(i).Label + menu.Line(i).Value;
    for (size_t i = 0; i < menu.Items().size(); ++i) {
      menu.Select(i);
      const TMenuItem item = Chosen(menu);
      if (item.Kind == TKind::Binding) {
        menu.Command(TMenuCommand::Choose);
        texts += menu.Note() + menu.Line(i).Value;
        menu.Bind(Vk::Escape);
      }
      if (item.Kind == TKind::Back) continue;
      TMenuModel before = menu;
      menu.Command(TMenuCommand::Choose);
      if (menu.Page() != page) self(self, menu.Page());
      menu = before;
    }
  };
  menu.Open({}, Everything);
  visit(visit, TMenuPage::Top);
  for (const char c : texts)
    EXPECT_TRUE(c >= ' ' && c <= '~' && c != '@' && c != '`') << "'" << c << "' in " << texts;
}

// ---- The player's input as commands ----------------------------------------------------------

TEST(InGameMenu, EscapeAtTheTopAndThePauseKeyAreTheGamesAsInAnyPauseReleasesToo) {
  TInGameMenu menu({});
  menu.Open({}, Everything);
  EXPECT_FALSE(menu.Key(Vk::Escape, true).Taken);
  EXPECT_FALSE(menu.Key(Vk::Letter('P'), true).Taken);
  EXPECT_FALSE(menu.PadButton(TPadButton::Back, true).Taken) << "the pad's Escape";
  EXPECT_FALSE(menu.PadButton(TPadButton::Start, true).Taken) << "the pad's pause key";
  EXPECT_TRUE(menu.Key(Vk::Letter('S'), true).Taken);
  EXPECT_FALSE(menu.Key(Vk::Letter('S'), false).Taken);
  EXPECT_EQ(menu.Key(Vk::Control, true).End, TMenuEnd::None) << "fire chooses: Options";
  EXPECT_EQ(menu.State().Page(), TMenuPage::Options);
  EXPECT_TRUE(menu.Key(Vk::Escape, true).Taken) << "below the top it goes back";
  EXPECT_EQ(menu.PadButton(TPadButton::Cancel, true).End, TMenuEnd::Resume) << "B at the top";
}

TEST(InGameMenu, TheStickMovesOnceEachTimeItLeansPastHalfway) {
  TInGameMenu menu({});
  menu.Open({}, Everything);
  menu.PadStick(10000);
  EXPECT_EQ(menu.State().Selected(), 0u);
  menu.PadStick(30000);
  menu.PadStick(32767);
  EXPECT_EQ(menu.State().Selected(), 1u);
  menu.PadStick(0);
  menu.PadStick(-20000);
  EXPECT_EQ(menu.State().Selected(), 0u);
}

TEST(MenuLayout, ThePointerFindsEachItemWhereItIsDrawnAndALongTableIsDrawnSmaller) {
  TMenuModel menu;
  menu.Open({}, Everything);
  const TMenuLayout top = LayOutMenu(menu, 800, 600, 8, 16);
  ASSERT_EQ(top.Lines.size(), 4u);
  for (size_t i = 0; i < top.Lines.size(); ++i) {
    const TMenuText& text = top.Texts[1 + i];  // after the title
    EXPECT_EQ(LineAt(top, text.X, text.Y), i);
    EXPECT_EQ(LineAt(top, text.X, text.Y + 31), i);
    EXPECT_EQ(text.Scale, 2);
  }
  EXPECT_FALSE(LineAt(top, top.Lines[0].X - 1, top.Lines[0].Y));
  EXPECT_FALSE(LineAt(top, 400, top.Lines[3].Y + top.Lines[3].H));

  TRecordsHooks hooks;
  hooks.View = [] { return TRecordsView{std::string(60, 'x'), {std::string(60, 'y')}, {true}}; };
  TMenuModel records(hooks);
  records.Open({}, Everything);
  ChooseItem(records, TKind::Records);
  const TMenuLayout table = LayOutMenu(records, 800, 600, 8, 16);
  EXPECT_EQ(table.Texts[2].Text, std::string(60, 'x')) << "after the title and the heading";
  EXPECT_EQ(table.Texts[2].Scale, 1);
}
