// The player's pads: what a pad of the browser's standard layout does, read once a screen
// frame while one is connected (the Gamepad API has no events for its buttons), and posted to
// the program only when it changes. Which button is which control is the program's choice, as
// the desktop's is (src/platform/web/web_platform.cpp); the page says only what moved.

let post = () => {};
let polling = false;
let warned = false;
// What each pad (by its index) last showed: its axes' and buttons' values. A pad not in it
// rests: no axis leans, no button is down.
const last = new Map();
const RESTING = { axes: [], buttons: [] };
const UNPRESSED = { pressed: false, value: 0 };

// `postEvent(event)` hands an event to the program.
export function listenForPads(postEvent) {
  if (!navigator.getGamepads) return;
  post = postEvent;
  window.addEventListener("gamepadconnected", startPolling);
  window.addEventListener("gamepaddisconnected", onDisconnected);
}

function connectedPads() {
  return [...navigator.getGamepads()].filter((pad) => pad && pad.connected);
}

function startPolling() {
  if (polling) return;
  polling = true;
  requestAnimationFrame(poll);
}

function poll() {
  const pads = connectedPads();
  if (pads.length === 0) {
    polling = false;
    return;
  }
  for (const pad of pads) readPad(pad);
  requestAnimationFrame(poll);
}

// Another layout numbers its buttons its own way: the pad is passed over, and said so once.
function readPad(pad) {
  if (pad.mapping !== "standard") {
    if (!warned) console.warn(`quibbet: the pad "${pad.id}" has no standard layout; not used`);
    warned = true;
    return;
  }
  const was = last.get(pad.index) || RESTING;
  pad.axes.forEach((value, axis) => {
    if (value !== (was.axes[axis] || 0)) post({ type: "padaxis", index: axis, value });
  });
  pad.buttons.forEach((button, index) => {
    const before = was.buttons[index] || UNPRESSED;
    if (button.pressed !== before.pressed || button.value !== before.value)
      post({ type: "padbutton", index, down: button.pressed, value: button.value });
  });
  last.set(pad.index, { axes: [...pad.axes],
                        buttons: pad.buttons.map(({ pressed, value }) => ({ pressed, value })) });
}

// A pad pulled out mid-press must not steer or fire for good. The program lets go of
// everything, so the pads still there tell again what they hold.
function onDisconnected() {
  last.clear();
  post({ type: "padgone" });
}
