// The canvas and the frame on it. The canvas fills the window in device pixels; the program
// decides where the frame goes on it (the desktop's "sharp" rule, src/platform/display_fit.h)
// and this module draws it there: enlarged by a whole multiple with every pixel the same size,
// then smoothed to fill the target.

export const screen = document.getElementById("screen");
const screenContext = screen.getContext("2d");
const frame = document.createElement("canvas");
const frameContext = frame.getContext("2d");
const enlarged = document.createElement("canvas");
const enlargedContext = enlarged.getContext("2d");
let image = null;
let fit = { x: 0, y: 0, w: 800, h: 600, multiple: 1, smooth: false };

// Sizes the canvas to the window; returns its size in device pixels, for the program's fit.
export function sizeScreen() {
  const ratio = window.devicePixelRatio || 1;
  screen.style.width = window.innerWidth + "px";
  screen.style.height = window.innerHeight + "px";
  screen.width = Math.max(1, Math.round(window.innerWidth * ratio));
  screen.height = Math.max(1, Math.round(window.innerHeight * ratio));
  draw();
  return { width: screen.width, height: screen.height };
}

export function openFrame(width, height) {
  frame.width = width;
  frame.height = height;
  image = frameContext.createImageData(width, height);
}

export function fitFrame(x, y, w, h, multiple, smooth) {
  fit = { x, y, w, h, multiple, smooth };
  placeControls();
  draw();
}

// The page's buttons beside the frame where the window leaves room for them (a column to the
// right or the left, a row above or below), else over the frame's bottom left, away from
// where the enemies come in.
const COLUMN_WIDTH = 96, ROW_HEIGHT = 56;  // CSS pixels the buttons need, with their margin

function placeControls() {
  const controls = document.getElementById("controls");
  const ratio = screen.width / Math.max(1, screen.clientWidth);
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
  frameContext.putImageData(image, 0, 0);
  draw();
}

function draw() {
  screenContext.fillStyle = "#000";
  screenContext.fillRect(0, 0, screen.width, screen.height);
  if (!image) return;
  let source = frame;
  if (fit.smooth && fit.multiple > 1) {
    if (enlarged.width !== frame.width * fit.multiple) {
      enlarged.width = frame.width * fit.multiple;
      enlarged.height = frame.height * fit.multiple;
    }
    enlargedContext.imageSmoothingEnabled = false;
    enlargedContext.drawImage(frame, 0, 0, enlarged.width, enlarged.height);
    source = enlarged;
  }
  screenContext.imageSmoothingEnabled = fit.smooth;
  screenContext.drawImage(source, fit.x, fit.y, fit.w, fit.h);
}
