// The player's hands: the mouse, a finger, the keys and the page's buttons (Menu, Skip, Mute)
// become the program's events. Keys go by the names the browser gives them
// (KeyboardEvent.code); the program maps them onto its own table (src/platform/web/dom_keys.cpp)
// and tells this module which are the game's. F and Alt+Enter switch to full screen, as
// Alt+Enter switches the desktop's window, and the program hears whenever the page goes into
// full screen or out of it. The pointer is the game's (locked) only while the game scene runs
// and the game hides it; Escape, which frees it in every browser, opens the menu there instead
// of ending the game, and a second Escape ends the scene as the game's Escape does.
import { screen } from "./fit.js";

const LEFT = 0, RIGHT = 2;
const FUNCTION_KEY = /^F[0-9]+$/;

let post = () => {};
let gesture = () => {};
let gameKeys = new Set();
let pointerX = 0, pointerY = 0;
let scene = "";
let escapeEndsScene = false;  // the pointer's Escape opened the menu: the next one ends the scene
let skipUpIn = 0;  // frames until Skip lets its Escape go

// `postEvent(event)` hands an event to the program; `onGesture()` hears every click, touch and
// key, which browsers require before a page may sound.
export function listenForInput(postEvent, onGesture) {
  post = postEvent;
  gesture = onGesture;
  screen.addEventListener("pointermove", onPointerMove);
  screen.addEventListener("pointerdown", onPointerButton);
  window.addEventListener("pointerup", onPointerButton);
  screen.addEventListener("contextmenu", (event) => event.preventDefault());
  for (const type of ["touchstart", "touchmove", "touchend", "touchcancel"])
    screen.addEventListener(type, onTouch, { passive: false });
  window.addEventListener("keydown", onKey);
  window.addEventListener("keyup", onKey);
  document.getElementById("fullscreen").addEventListener("click", toggleFullScreen);
  document.getElementById("menu").addEventListener("click", onMenuButton);
  document.getElementById("skip").addEventListener("click", onSkipButton);
  document.getElementById("mute").addEventListener("click", () => {
    gesture();
    post({ type: "mute" });
  });
  document.addEventListener("pointerlockchange", onPointerLockChange);
  document.addEventListener("fullscreenchange",
                            () => post({ type: "fullscreen", shown: !!document.fullscreenElement }));
}

// The pause key's button: the game's menu opens, or closes. The keys stay the game's, so that
// Enter or Space never presses the button again.
function onMenuButton() {
  gesture();
  post({ type: "menu" });
  screen.focus();
}

// Skip is Escape, held across the frame that reads it and let go before the next scene's first
// frame reads it (the scene ends at the frame after it is seen).
function onSkipButton() {
  gesture();
  post({ type: "key", code: "Escape", down: true });
  skipUpIn = 2;
  screen.focus();
}

export function framePresented() {
  if (skipUpIn > 0 && --skipUpIn === 0) post({ type: "key", code: "Escape", down: false });
}

// The scene that starts: Skip is for the story and the credits; the pointer is the game's.
export function sceneStarted(name) {
  scene = name;
  document.getElementById("skip").hidden = name === "game";
  if (name !== "game" && document.pointerLockElement) document.exitPointerLock();
}

// The browser let the pointer go while the game still hid it: the player's Escape (or another
// window), not the game's wish.
function onPointerLockChange() {
  if (document.pointerLockElement || scene !== "game" || screen.style.cursor !== "none") return;
  post({ type: "menu" });
  escapeEndsScene = true;
}

// The names of the keys the game takes, which the page keeps from the browser.
export function takeKeys(names) {
  gameKeys = new Set(names);
}

export function showCursor(visible) {
  screen.style.cursor = visible ? "" : "none";
  if (visible && document.pointerLockElement) document.exitPointerLock();
}

function movePointer(x, y) {
  pointerX = Math.min(screen.width - 1, Math.max(0, x));
  pointerY = Math.min(screen.height - 1, Math.max(0, y));
  post({ type: "pointer", x: Math.round(pointerX), y: Math.round(pointerY) });
}

// A position on the page in the canvas's own pixels.
function pointAt(clientX, clientY) {
  const rect = screen.getBoundingClientRect();
  return [(clientX - rect.left) * screen.width / rect.width,
          (clientY - rect.top) * screen.height / rect.height];
}

function onPointerMove(event) {
  if (event.pointerType === "touch") return;
  if (document.pointerLockElement === screen) {
    const rect = screen.getBoundingClientRect();
    movePointer(pointerX + event.movementX * screen.width / rect.width,
                pointerY + event.movementY * screen.height / rect.height);
  } else {
    movePointer(...pointAt(event.clientX, event.clientY));
  }
}

function onPointerButton(event) {
  if (event.pointerType === "touch") return;
  gesture();
  if (event.button !== LEFT && event.button !== RIGHT) return;
  post({ type: "button", button: event.button, down: event.type === "pointerdown" });
  escapeEndsScene = false;
  // The pointer belongs to the game while the game hides it, as on the desktop.
  if (event.type === "pointerdown" && scene === "game" && screen.style.cursor === "none" &&
      screen.requestPointerLock)
    screen.requestPointerLock();
}

// A finger's place steers the bus; while a finger is down the bus fires.
function onTouch(event) {
  event.preventDefault();
  gesture();
  const touch = event.touches[0] || event.changedTouches[0];
  if (touch) movePointer(...pointAt(touch.clientX, touch.clientY));
  if (event.type === "touchstart" && event.touches.length === 1)
    post({ type: "button", button: LEFT, down: true });
  if ((event.type === "touchend" || event.type === "touchcancel") && event.touches.length === 0)
    post({ type: "button", button: LEFT, down: false });
}

function onKey(event) {
  gesture();
  const down = event.type === "keydown";
  const fullScreen = (event.code === "KeyF" && !event.altKey && !event.ctrlKey && !event.metaKey) ||
                     (event.code === "Enter" && event.altKey);
  if (fullScreen) {
    if (down && !event.repeat) toggleFullScreen();
    event.preventDefault();
    return;
  }
  // Ctrl with another key is the browser's (Ctrl alone fires); a release always counts, or
  // a key let go while Ctrl is held would stay down for the game.
  if (down && (event.metaKey || (event.ctrlKey && !event.code.startsWith("Control")))) return;
  // Space and the arrows would scroll the page; the function keys stay the browser's too.
  if (gameKeys.has(event.code) && !FUNCTION_KEY.test(event.code)) event.preventDefault();
  if (event.repeat) return;  // a held key counts once, as on the desktop
  if (event.code === "Escape" && down) {
    if (document.pointerLockElement) return;  // it frees the pointer, and opens the menu
    if (escapeEndsScene) post({ type: "menu" });  // closes it, so the game hears its Escape
  }
  if (down) escapeEndsScene = false;
  post({ type: "key", code: event.code, down });
}

export function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else document.documentElement.requestFullscreen().catch(() => {});
}
