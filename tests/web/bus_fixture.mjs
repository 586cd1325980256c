// The game's archives with the bus drawn flat magenta, so that where the bus is can be read off
// a frame on the page's canvas.
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";

const ARCHIVES = ["SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK", "SOUNDS.MPK"];
const MAGENTA = [255, 0, 255];

function run(program, args) {
  return execFileSync(program, args, { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"] });
}

// The archives of the native build `native`, with a magenta bus, in `folder` (made here).
export function makeMagentaBus(native, folder) {
  const data = path.join(native, "data");
  const mpk = path.join(native, "tools", "mpk"), pcxconv = path.join(native, "tools", "pcxconv");
  fs.mkdirSync(folder, { recursive: true });
  for (const archive of ARCHIVES)
    fs.copyFileSync(path.join(data, archive), path.join(folder, archive));
  const sprites = fs.mkdtempSync(path.join(folder, "sprites-"));
  run(mpk, ["extract", path.join(data, "SPRITES.MPK"), "-C", sprites]);
  const [width, height] = run(pcxconv, ["info", path.join(sprites, "bus.pcx")]).split(/\s+/);
  const png = path.join(sprites, "bus.png");
  run("/usr/bin/convert", ["-size", `${width}x${height}`, "xc:#ff00ff", png]);
  run(pcxconv, ["from-png", png, path.join(sprites, "bus.pcx")]);
  fs.rmSync(png);
  const members = fs.readdirSync(sprites).sort().map((file) => path.join(sprites, file));
  run(mpk, ["create", path.join(folder, "SPRITES.MPK"), ...members]);
  fs.rmSync(sprites, { recursive: true, force: true });
}

// The frame on the page's canvas now, as RGB bytes (instrument.js).
export function grab(page) {
  return page.evaluate(() => window.quibbetTest.grab()).then((b64) => Buffer.from(b64, "base64"));
}

// The top row of the magenta bus in an 800 x 600 frame's RGB bytes; -1 when it is not there.
export function busTop(rgb) {
  for (let y = 0; y < 600; ++y)
    for (let x = 5; x < 60; ++x) {
      const at = (y * 800 + x) * 3;
      if (rgb[at] === MAGENTA[0] && rgb[at + 1] === MAGENTA[1] && rgb[at + 2] === MAGENTA[2])
        return y;
    }
  return -1;
}
