// The window's surface and the frame on it. The surface (#screen) fills the window; its size
// in device pixels is what the program fits the frame to (the desktop's "sharp" rule,
// src/platform/display_fit.h), and it takes the pointer, a finger and the focus, but it is
// never drawn on. The frame is its own canvas (#frame) on the fit's target: the frame's
// pixels, enlarged by a whole multiple (at most twice) where the fit smooths, and the browser's
// compositor scales that to the target, so that a large screen costs no drawing.

export const screen = document.getElementById("screen");
const shown = document.getElementById("frame");
const shownContext = shown.getContext("2d");
const frame = document.createElement("canvas");
const frameContext = frame.getContext("2d");
const MAX_ENLARGED = 2;
let image = null;
let fit = { x: 0, y: 0, w: 800, h: 600, multiple: 1, smooth: false };

// Sizes the surface to the window; returns its size in device pixels, for the program's fit.
export function sizeScreen() {
  const ratio = window.devicePixelRatio || 1;
  screen.style.width = window.innerWidth + "px";
  screen.style.height = window.innerHeight + "px";
  screen.width = Math.max(1, Math.round(window.innerWidth * ratio));
  screen.height = Math.max(1, Math.round(window.innerHeight * ratio));
  placeFrame();
  return { width: screen.width, height: screen.height };
}

export function openFrame(width, height) {
  frame.width = width;
  frame.height = height;
  image = frameContext.createImageData(width, height);
  placeFrame();
}

export function fitFrame(x, y, w, h, multiple, smooth) {
  fit = { x, y, w, h, multiple, smooth };
  placeControls();
  placeFrame();
}

// Device pixels of the surface to a CSS pixel: the program's fit is in the former, the page's
// layout in the latter.
function devicePerCss() {
  return screen.width / Math.max(1, screen.clientWidth || window.innerWidth);
}

// The frame's canvas on the target, in CSS pixels: exact where the target is the canvas's own
// size, else scaled by the browser, sharp or smooth as the fit says.
function placeFrame() {
  const ratio = devicePerCss();
  const enlarge = fit.smooth ? Math.min(fit.multiple, MAX_ENLARGED) : 1;
  const width = frame.width * enlarge, height = frame.height * enlarge;
  if (shown.width !== width || shown.height !== height) {
    shown.width = width;
    shown.height = height;
  }
  Object.assign(shown.style, {
    left: fit.x / ratio + "px", top: fit.y / ratio + "px",
    width: fit.w / ratio + "px", height: fit.h / ratio + "px",
    imageRendering: fit.smooth ? "auto" : "pixelated",
  });
  draw();
}

// The page's buttons beside the frame where the window leaves room for them (a column to the
// right or the left, a row above or below), else over the frame's bottom left, away from
// where the enemies come in.
const COLUMN_WIDTH = 96, ROW_HEIGHT = 56;  // CSS pixels the buttons need, with their margin

function placeControls() {
  const controls = document.getElementById("controls");
  const ratio = devicePerCss();
  const room = {
    right: (screen.width - fit.x - fit.w) / ratio, left: fit.x / ratio,
    bottom: (screen.height - fit.y - fit.h) / ratio, top: fit.y / ratio,
  };
  const column = controls.children.length * ROW_HEIGHT <= screen.clientHeight;
  let place = "over";
  if (column && room.right >= COLUMN_WIDTH) place = "right";
  else if (column && room.left >= COLUMN_WIDTH) place = "left";
  else if (room.top >= ROW_HEIGHT) place = "top";
  else if (room.bottom >= ROW_HEIGHT) place = "bottom";
  controls.dataset.place = place;
}

// A frame as bytes R, G, B, A, the size openFrame was given.
export function showFrame(rgba) {
  image.data.set(rgba);
  draw();
}

// Straight onto the shown canvas where it holds the frame's own pixels, as it does unless the
// fit smooths: one copy a frame, not two.
function draw() {
  if (!image) return;
  if (shown.width === image.width && shown.height === image.height) {
    shownContext.putImageData(image, 0, 0);
    return;
  }
  frameContext.putImageData(image, 0, 0);
  shownContext.imageSmoothingEnabled = false;
  shownContext.drawImage(frame, 0, 0, shown.width, shown.height);
}
