// The pilot's decisions.
#include "game/autopilot.h"

#include "app/scene.h"

void StartAutopilot() { FrameWatcher = AutopilotFrame; }

void AutopilotFrame(const TScene& /*scene*/) {}
