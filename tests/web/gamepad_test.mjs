// A pad in the page, through the browser's Gamepad API, which the test stands in for: a pad of
// the standard layout whose stick and buttons the test moves. Run by scripts/test-web.sh with
// the site (QUIBBET_SITE) and the native build the archives come from (QUIBBET_NATIVE).
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";

import { launch, openGame } from "./browser.mjs";
import { busTop, grab, makeMagentaBus } from "./bus_fixture.mjs";
import { serve } from "./site_server.mjs";

let fixtures, server, browser;

before(async () => {
  fixtures = fs.mkdtempSync(path.join(os.tmpdir(), "quibbet-pad-"));
  makeMagentaBus(process.env.QUIBBET_NATIVE, path.join(fixtures, "modded"));
  // Escape in the intro's second frame, let go in the game's first: the game starts at once.
  fs.writeFileSync(path.join(fixtures, "skip-intro.txt"), "1 key down 27\n2 key up 27\n");
  server = await serve({ "/": process.env.QUIBBET_SITE, "/fixtures/": fixtures });
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(fixtures, { recursive: true, force: true });
});

// The browser's pads as the page reads them: one pad, window.testPad, plugged in and pulled
// out by testPad.plug(connected); its axes and buttons are the test's to set.
function standInPad() {
  const pad = {
    id: "Test pad", index: 0, connected: false, mapping: "standard", timestamp: 0,
    axes: [0, 0, 0, 0],
    buttons: Array.from({ length: 17 }, () => ({ pressed: false, touched: false, value: 0 })),
  };
  navigator.getGamepads = () => [pad.connected ? pad : null, null, null, null];
  window.testPad = pad;
  pad.plug = (connected) => {
    pad.connected = connected;
    const event = new Event(connected ? "gamepadconnected" : "gamepaddisconnected");
    event.gamepad = pad;
    window.dispatchEvent(event);
  };
  pad.press = (index, down) => {
    pad.buttons[index] = { pressed: down, touched: down, value: down ? 1 : 0 };
  };
}

const STICK_VERTICAL = 1, START = 9;
const presented = (page) => page.evaluate(() => window.quibbetTest.presented);
const framesOn = async (page, count) => {
  const from = await presented(page);
  await page.waitForFunction((n) => window.quibbetTest.presented >= n, {}, from + count);
};
const lean = (page, value) => page.evaluate((axis, v) => { window.testPad.axes[axis] = v; },
                                            STICK_VERTICAL, value);
// Held while the page reads the pad twice (once a screen frame), then let go.
async function pressStart(page) {
  await page.evaluate((b) => window.testPad.press(b, true), START);
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(
    () => requestAnimationFrame(resolve))));
  await page.evaluate((b) => window.testPad.press(b, false), START);
}

test("a pad's stick steers the bus, Start pauses and resumes, and a pad pulled out lets go",
     async () => {
  const game = await openGame(browser, `${server.url}?data=fixtures/modded/&seed=1` +
                                       "&input=fixtures/skip-intro.txt");
  await game.evaluateOnNewDocument(standInPad);
  await game.reload();
  await game.waitForFunction(() => window.quibbetTest.presented > 3);
  await game.mouse.move(400, 100);
  await framesOn(game, 3);
  assert.equal(busTop(await grab(game)), 100, "the mouse's height");

  await game.evaluate(() => window.testPad.plug(true));
  await lean(game, 1);
  await framesOn(game, 40);
  assert.equal(busTop(await grab(game)), 425, "held down to the bottom of the bus's way");
  await lean(game, 0);

  await pressStart(game);
  await new Promise((resolve) => setTimeout(resolve, 300));
  const paused = await presented(game);
  await new Promise((resolve) => setTimeout(resolve, 700));
  assert.equal(await presented(game), paused, "no frame while paused");
  assert.equal(busTop(await grab(game)), -1, "the frame is dimmed");
  await pressStart(game);
  await framesOn(game, 5);
  assert.equal(busTop(await grab(game)), 425, "the game goes on where it was");

  // A slight lean climbs a few pixels a frame: pulled out on the way, the bus stops there.
  await lean(game, -0.4);
  await framesOn(game, 10);
  await game.evaluate(() => window.testPad.plug(false));
  await framesOn(game, 3);
  const stopped = busTop(await grab(game));
  assert.ok(stopped > 40 && stopped < 425, `stopped at ${stopped}`);
  await framesOn(game, 20);
  assert.equal(busTop(await grab(game)), stopped, "nothing steers once the pad is gone");
  assert.deepEqual(game.uncaught, []);
  await game.close();
});
