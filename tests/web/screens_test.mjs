// Screens small and large. A phone player: the start screen waits for a tap; Menu, Skip and
// Mute are buttons beside the frame, found by their names; Skip ends the story, Mute
// silences, a tap in the menu changes the volume, and a phone held upright is told to turn
// while the game plays on. A large screen's frames come as often as a small one's.
import assert from "node:assert/strict";
import { after, before, test } from "node:test";

import { keptSoon, launch, openGame } from "./browser.mjs";
import { serve } from "./site_server.mjs";

const LANDSCAPE = { width: 844, height: 390, deviceScaleFactor: 2, isMobile: true,
                    hasTouch: true };
const PORTRAIT = { ...LANDSCAPE, width: 390, height: 844 };
let server, browser;

before(async () => {
  server = await serve({ "/": process.env.QUIBBET_SITE });
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.close();
});

const framesOn = async (page, count) => {
  const from = await page.evaluate(() => window.quibbetTest.presented);
  await page.waitForFunction((n) => window.quibbetTest.presented >= n, { timeout: 20000 },
                             from + count);
};

// The frame fills the window's height, in the middle: where a frame point is on the page.
function onPage(viewport, x, y) {
  const scale = Math.min(viewport.width / 800, viewport.height / 600);
  return [(viewport.width - 800 * scale) / 2 + x * scale,
          (viewport.height - 600 * scale) / 2 + y * scale];
}

test("a phone player starts with a tap, skips, mutes and turns the volume down by taps",
     async () => {
  const page = await openGame(browser, `${server.url}?seed=1`,
                              { start: false, viewport: LANDSCAPE });
  assert.equal(await page.$eval("#start", (e) => e.hidden), false);
  await page.tap("#start-button");
  await framesOn(page, 3);

  const [left] = onPage(LANDSCAPE, 0, 0), [right] = onPage(LANDSCAPE, 800, 600);
  for (const name of ["Menu", "Skip", "Mute"]) {
    const button = await page.$(`aria/${name}[role="button"]`);
    assert.ok(button, name);
    const box = await button.boundingBox();
    assert.ok(box.x >= right || box.x + box.width <= left, `${name} beside the frame`);
  }

  await page.waitForFunction(() => window.quibbetTest.audio.peak > 0, { timeout: 20000 });
  await page.tap("#mute");
  await framesOn(page, 3);
  assert.equal(await page.evaluate(() => window.quibbetTest.audio.peak), 0, "muted");

  await page.tap("#skip");
  await page.waitForFunction(() => document.getElementById("skip").hidden, { timeout: 5000 });
  assert.ok(await page.evaluate(() => window.quibbetTest.presented) < 300, "the story skipped");

  await page.tap("#menu");
  await new Promise((resolve) => setTimeout(resolve, 300));
  for (const [x, y] of [[400, 302], [400, 266], [330, 306]]) {  // Options, Sound, Volume's <
    await page.touchscreen.tap(...onPage(LANDSCAPE, x, y));
    await new Promise((resolve) => setTimeout(resolve, 300));
  }
  const volume = (text) => /volume = (\d+)/.exec(text)?.[1];
  const settings = await keptSoon(page, "/quibbet/config/settings.ini",
                                  (text) => volume(text) === "90");
  assert.equal(volume(settings), "90");
  assert.match(settings, /mute = no/, "a player who changes the volume wants to hear");
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("a phone held upright is told to turn, and the game plays on", async () => {
  const page = await openGame(browser, `${server.url}?seed=1`, { viewport: PORTRAIT });
  await framesOn(page, 5);
  assert.equal(await page.$eval("#portrait", (e) => getComputedStyle(e).display), "block");
  const [, top] = onPage(PORTRAIT, 0, 0);
  const box = await (await page.$("#menu")).boundingBox();
  assert.ok(box.y + box.height <= top, "the buttons above the frame");
  await page.close();
});

test("a large screen's frames come as often as a laptop's", async () => {
  const meanInterval = async (viewport) => {
    const page = await openGame(browser, `${server.url}?seed=1&autoplay=1`, { viewport });
    await framesOn(page, 20);
    await page.evaluate(() => { window.quibbetTest.intervals.length = 0; });
    await framesOn(page, 60);
    const intervals = await page.evaluate(() => window.quibbetTest.intervals);
    await page.close();
    return intervals.reduce((sum, ms) => sum + ms, 0) / intervals.length;
  };
  const laptop = await meanInterval({ width: 1280, height: 800, deviceScaleFactor: 1 });
  const large = await meanInterval({ width: 2560, height: 1440, deviceScaleFactor: 2 });
  assert.ok(Math.abs(large - laptop) < 1, `${large.toFixed(2)} ms against ${laptop.toFixed(2)}`);
});
