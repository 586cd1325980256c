// The bridge to the program: the host object it calls (Module.quibbetHost; the other side of
// each call is src/platform/web/page_bridge.cpp), the page's events waiting for the program,
// and window.quibbet, what a page around the game, or a curious player, may read of the run.
import { fitFrame, openFrame, screen, showFrame, sizeScreen } from "./fit.js";
import { framePresented, sceneStarted, showCursor, takeKeys, toggleFullScreen } from "./input.js";
import { boxOpen, hideLoading, offerAgainWithout, showBox, showEnd, showNote } from "./overlays.js";
import { playSound } from "./sound.js";

// Events for the program, in the order they came: { type: "pointer", x, y },
// { type: "button", button, down }, { type: "key", code, down }, { type: "visible", shown },
// { type: "resize", width, height }, { type: "menu" }, { type: "fullscreen", shown },
// { type: "mute" }, { type: "padbutton", index, down, value }, { type: "padaxis", index, value },
// { type: "padgone" }.
const events = [];
const run = { summary: null, exitCode: null, problem: "" };

export function post(event) {
  events.push(event);
}

// The page's files the program may name, and the addresses they were fetched from, which is
// what a player knows them by.
const fileAddresses = new Map();

export function nameFile(file, address) {
  fileAddresses.set(file, address);
}

function inAddresses(text) {
  for (const [file, address] of fileAddresses) text = text.split(file).join(address);
  return text;
}

export function ended() {
  return run.exitCode !== null;
}

// Read-only: the run's summary (the JSON of --summary, parsed) and exit code once the run has
// ended, and why it could not start, if it could not.
Object.defineProperty(window, "quibbet", {
  value: Object.freeze({
    get summary() { return run.summary; },
    get exitCode() { return run.exitCode; },
    get problem() { return run.problem; },
  }),
});

function postVisible() {
  post({ type: "visible", shown: !document.hidden });
}

export function listenForPage() {
  window.addEventListener("resize", () => post({ type: "resize", ...sizeScreen() }));
  document.addEventListener("visibilitychange", postVisible);
}

export const host = {
  open(width, height, gameKeys) {
    openFrame(width, height);
    takeKeys(gameKeys);
    hideLoading();
    post({ type: "resize", ...sizeScreen() });
    postVisible();
    screen.focus();
  },
  nextEvent: () => events.shift(),
  fit: fitFrame,
  present(rgba) {
    showFrame(rgba);
    framePresented();
  },
  scene: sceneStarted,
  box(caption, text, error) {
    showBox(caption, text, error);
    console.error(caption + "\n" + text.replace(/\r/g, "\n"));
  },
  boxOpen,
  cursor: showCursor,
  fullScreen: toggleFullScreen,
  audio: playSound,
  note: showNote,
  finished(exitCode, summary, problem) {
    run.exitCode = exitCode;
    run.problem = problem = inAddresses(problem);
    // The program refuses an option as the command line's "--volume: ...".
    const option = /^--([a-z-]+)/.exec(problem);
    if (option) offerAgainWithout(option[1]);
    if (summary) {
      run.summary = JSON.parse(summary);
      console.log(summary);
    }
    showEnd(exitCode, problem);
  },
};
