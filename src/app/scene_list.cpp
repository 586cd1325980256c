// The scenes in the order the program runs them.
#include "app/scene_list.h"

#include "app/credits_scene.h"
#include "app/game_scene.h"
#include "app/intro_scene.h"

namespace {

template <typename T>
std::unique_ptr<TScene> Make() {
  return std::make_unique<T>();
}

}  // namespace

TProgramScenes GameScenes() {
  return {Make<TIntroScene>, Make<TGameScene>, Make<TCreditsScene>, {}};
}
