// The built-in pilot: plays the game as a player would, from what is on screen. After each
// presented frame it looks at the positions of the entities in the scene and moves the mouse
// and the left button through the platform's message queue, like a hand on the mouse.
#pragma once

class TScene;

// Installs the pilot as the frame watcher; it acts in the game scene and leaves the others.
void StartAutopilot();
// One decision after a presented frame of `scene`.
void AutopilotFrame(const TScene& scene);
