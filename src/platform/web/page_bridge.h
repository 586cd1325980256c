// Every call between the program and its page: the C++ side of the page's host object
// (site/bridge.js), as plain functions, so that the back end and the browser's entry stay
// free of Emscripten's JavaScript. page_bridge.cpp is the only file that calls into the page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class TPageEventKind : int32_t {
  PointerMove = 1,
  Button = 2,
  Key = 3,
  Visible = 4,
  Resize = 5,
  Menu = 6,        // the page's menu button
  FullScreen = 7,  // the page went into full screen (Down) or out of it
  Mute = 8,        // the page's mute button
  PadButton = 9,   // a button of a pad in the browser's standard layout
  PadAxis = 10,    // ... and an axis
  PadGone = 11,    // a pad went away
  Data = 12,       // an archive reached the data folder after the run started
};

// What the page heard, in the order it heard it.
struct TPageEvent {
  TPageEventKind Kind = TPageEventKind::PointerMove;
  int32_t X = 0;        // PointerMove: in output pixels of the canvas; Resize: the canvas's width
  int32_t Y = 0;        // ... and height
  int32_t Button = 0;   // Button: 0 left, 2 right; PadButton, PadAxis: its standard index
  bool Down = false;    // Button, Key, PadButton: pressed; Visible: shown; FullScreen: in it
  double Value = 0;     // PadButton: 0 to 1 pressed; PadAxis: -1 (up, left) to 1
  std::string KeyCode;  // Key: the browser's name of the key (KeyboardEvent.code, "KeyW")
};

namespace Page {
// The program's window: the frame's size, and the keys (KeyboardEvent.code names separated
// by spaces) that are the game's, which the page keeps from the browser.
void Open(int32_t width, int32_t height, const std::string& gameKeys);
// The next event the page heard; false when there is none.
bool NextEvent(TPageEvent& event);
// Where the frame goes on the canvas: enlarged `multiple` times, then smoothed or not to fill
// the target rectangle.
void Fit(int32_t x, int32_t y, int32_t w, int32_t h, int32_t multiple, bool smooth);
// A frame as bytes R, G, B, A, and the milliseconds the program worked on it.
void Present(const uint32_t* rgba, int32_t width, int32_t height, double workMs);
// The frame on the canvas is one the address asked to record (record-frames): told to
// whoever watches the page's host (the tests do); the page itself keeps no files.
void FrameRecorded(uint64_t index);
void ShowBox(const std::string& caption, const std::string& text, bool error);
bool BoxOpen();  // until the player closes it
void ShowCursor(bool visible);
// Asks the browser to switch the page into full screen or out of it; it may refuse, and the
// page says what came of it (TPageEventKind::FullScreen).
void ToggleFullScreen();
// One game frame's interleaved stereo samples at 44,100 Hz.
void PlaySound(const int16_t* samples, size_t frames);
// A line for the player beside the game, which goes on (an address's unknown option).
void Note(const std::string& text);
// The player's folders (settings, records) under `folder`, as the browser kept them from the
// last visit; false when it keeps nothing, and the files last as long as the page.
bool OpenStorage(const std::string& folder);
// Keeps what changed under that folder for the next visit, in the background.
void KeepStorage();
// A scene ("intro", "game", "credits") starts: the page offers what it allows (Skip, the
// pointer held by the game).
void SceneStarted(const char* name);
// The run has ended: its exit code, its summary (JSON, empty when nothing ran) and, when it
// could not start, why.
void Finished(int exitCode, const std::string& summary, const std::string& problem);
}  // namespace Page
