// The calls into the page, each one EM_JS function on the page's host object, Module.quibbetHost
// (site/bridge.js), wrapped in the plain functions of page_bridge.h. EM_JS bodies go through the
// C preprocessor: strings in them are double-quoted.
#include "platform/web/page_bridge.h"

#include <emscripten.h>

namespace {

EM_JS(void, HostOpen, (int width, int height, const char* gameKeys),
      { Module["quibbetHost"].open(width, height, UTF8ToString(gameKeys).split(" ")); });

// The next event of the page into `values` (kind as TPageEventKind numbers it, x, y, button
// or a pad's index, down), `value` and `keyCode`; 0 when there is none.
EM_JS(int, HostNextEvent, (int32_t * values, double* value, char* keyCode, int keyCodeSize), {
  const event = Module["quibbetHost"].nextEvent();
  if (!event) return 0;
  const kinds = {
    "pointer" : 1,
    "button" : 2,
    "key" : 3,
    "visible" : 4,
    "resize" : 5,
    "menu" : 6,
    "fullscreen" : 7,
    "mute" : 8,
    "padbutton" : 9,
    "padaxis" : 10,
    "padgone" : 11,
    "data" : 12
  };
  const resize = event.type == "resize";
  const at = values >> 2;
  HEAP32[at] = kinds[event.type] | 0;
  HEAP32[at + 1] = (resize ? event.width : event.x) | 0;
  HEAP32[at + 2] = (resize ? event.height : event.y) | 0;
  HEAP32[at + 3] = (event.index == undefined ? event.button : event.index) | 0;
  HEAP32[at + 4] = event.down || event.shown ? 1 : 0;
  HEAPF64[value >> 3] = +event.value || 0;
  stringToUTF8(event.code || "", keyCode, keyCodeSize);
  return 1;
});

EM_JS(void, HostFit, (int x, int y, int w, int h, int multiple, int smooth),
      { Module["quibbetHost"].fit(x, y, w, h, multiple, smooth != 0); });

EM_JS(void, HostPresent, (const uint8_t* rgba, int width, int height, double workMs), {
  Module["quibbetHost"].present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height,
                                workMs);
});

// Only a host that listens for recorded frames has this method.
EM_JS(void, HostFrameRecorded, (double index), {
  const host = Module["quibbetHost"];
  if (host.frameRecorded) host.frameRecorded(index);
});

EM_JS(void, HostBox, (const char* caption, const char* text, int error),
      { Module["quibbetHost"].box(UTF8ToString(caption), UTF8ToString(text), error != 0); });

EM_JS(int, HostBoxOpen, (), { return Module["quibbetHost"].boxOpen() ? 1 : 0; });

EM_JS(void, HostCursor, (int visible), { Module["quibbetHost"].cursor(visible != 0); });

EM_JS(void, HostFullScreen, (), { Module["quibbetHost"].fullScreen(); });

EM_JS(void, HostAudio, (const int16_t* samples, int frames),
      { Module["quibbetHost"].audio(HEAP16.subarray(samples >> 1, (samples >> 1) + 2 * frames)); });

EM_JS(void, HostNote, (const char* text), { Module["quibbetHost"].note(UTF8ToString(text)); });

// The player's folder kept in the browser's IndexedDB. The state is 0 while the first load
// runs, 1 once the folder holds what was kept, 2 when the browser keeps nothing (no IndexedDB,
// a private window that refuses it): the files then last as long as the page.
// (Written without ===, !== or =>, which the macro's tokens would split.)
EM_JS(void, StorageOpen, (const char* folder), {
  const path = UTF8ToString(folder);
  function refused(error) {
    console.warn("quibbet: the browser keeps no settings or records here (" + error + ")");
    Module["quibbetStorage"] = 2;
  }
  Module["quibbetStorage"] = 0;
  try {
    FS.mkdirTree(path);
    FS.mount(IDBFS, {}, path);
    FS.syncfs(
        true, function(error) {
          if (error)
            refused(error);
          else
            Module["quibbetStorage"] = 1;
        });
  } catch (error) {
    refused(error);
  }
});

EM_JS(int, StorageState, (), { return Module["quibbetStorage"]; });

EM_JS(void, StorageKeep, (), {
  if (Module["quibbetStorage"] != 1) return;
  FS.syncfs(
      false, function(error) {
        if (error)
          console.warn("quibbet: what changed could not be kept in the browser (" + error + ")");
      });
});

EM_JS(void, HostScene, (const char* name), { Module["quibbetHost"].scene(UTF8ToString(name)); });

EM_JS(void, HostFinished, (int code, const char* summary, const char* problem),
      { Module["quibbetHost"].finished(code, UTF8ToString(summary), UTF8ToString(problem)); });

}  // namespace

namespace Page {

void Open(int32_t width, int32_t height, const std::string& gameKeys) {
  HostOpen(width, height, gameKeys.c_str());
}

bool NextEvent(TPageEvent& event) {
  int32_t values[5];
  double value = 0;
  char keyCode[32];
  if (HostNextEvent(values, &value, keyCode, sizeof keyCode) == 0) return false;
  event.Kind = static_cast<TPageEventKind>(values[0]);
  event.X = values[1];
  event.Y = values[2];
  event.Button = values[3];
  event.Down = values[4] != 0;
  event.Value = value;
  event.KeyCode = keyCode;
  return true;
}

void Fit(int32_t x, int32_t y, int32_t w, int32_t h, int32_t multiple, bool smooth) {
  HostFit(x, y, w, h, multiple, smooth ? 1 : 0);
}

void Present(const uint32_t* rgba, int32_t width, int32_t height, double workMs) {
  HostPresent(reinterpret_cast<const uint8_t*>(rgba), width, height, workMs);
}

void FrameRecorded(uint64_t index) {
  HostFrameRecorded(static_cast<double>(index));
}

void ShowBox(const std::string& caption, const std::string& text, bool error) {
  HostBox(caption.c_str(), text.c_str(), error ? 1 : 0);
}

bool BoxOpen() {
  return HostBoxOpen() != 0;
}

void ShowCursor(bool visible) {
  HostCursor(visible ? 1 : 0);
}

void ToggleFullScreen() {
  HostFullScreen();
}

void PlaySound(const int16_t* samples, size_t frames) {
  HostAudio(samples, static_cast<int>(frames));
}

void Note(const std::string& text) {
  HostNote(text.c_str());
}

bool OpenStorage(const std::string& folder) {
  // IndexedDB answers in a few milliseconds; one that never does must not hold the game.
  constexpr int LongestWaitMs = 3000;
  StorageOpen(folder.c_str());
  for (int waited = 0; StorageState() == 0 && waited < LongestWaitMs; waited += 10)
    emscripten_sleep(10);
  return StorageState() == 1;
}

void KeepStorage() {
  StorageKeep();
}

void SceneStarted(const char* name) {
  HostScene(name);
}

void Finished(int exitCode, const std::string& summary, const std::string& problem) {
  HostFinished(exitCode, summary.c_str(), problem.c_str());
}

}  // namespace Page
