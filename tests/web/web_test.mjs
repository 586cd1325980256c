// The browser version in Debian's Chromium, held to the desktop program: the same frames and
// the same summaries for the same seed and input, the bus steered by the mouse and by touch,
// Escape ending the run, an archive missing from ?data= shown as an overlay, other archives
// played, the address's options read as the command line's, and the sound reaching Web Audio.
// Run by scripts/test-web.sh, which names the site (QUIBBET_SITE) and the native build the
// archives and the expected results come from (QUIBBET_NATIVE). The page's frames, timings and
// sound are read through window.quibbetTest (instrument.js), its run's end through
// window.quibbet.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";

import { keptSoon, launch, openGame, untilEnded } from "./browser.mjs";
import { busTop, grab, makeMagentaBus } from "./bus_fixture.mjs";
import { readPng } from "./png.mjs";
import { serve } from "./site_server.mjs";

const site = process.env.QUIBBET_SITE;
const native = process.env.QUIBBET_NATIVE;
const game = path.join(native, "src", "quibbet");
const data = path.join(native, "data");
const ARCHIVES = ["SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK", "SOUNDS.MPK"];

let fixtures, server, browser;

function run(program, args) {
  return execFileSync(program, args, { encoding: "utf8", stdio: ["ignore", "pipe", "pipe"] });
}

// The game's archives with the bus drawn flat magenta, so that where it is can be read off a
// frame; and the archives without TEXTS.MPK.
function makeFixtures() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), "quibbet-web-"));
  makeMagentaBus(native, path.join(dir, "modded"));
  fs.mkdirSync(path.join(dir, "no-texts"));
  for (const archive of ARCHIVES.filter((a) => a !== "TEXTS.MPK"))
    fs.copyFileSync(path.join(data, archive), path.join(dir, "no-texts", archive));
  fs.writeFileSync(path.join(dir, "game.txt"),
                   "950 mouse move 100 200\n950 mouse left down\n1200 mouse move 100 400\n");
  // Escape in the intro's second frame, let go in the game's first: the game starts at once.
  fs.writeFileSync(path.join(dir, "skip-intro.txt"), "1 key down 27\n2 key up 27\n");
  return dir;
}

before(async () => {
  fixtures = makeFixtures();
  server = await serve({ "/": site, "/fixtures/": fixtures });
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(fixtures, { recursive: true, force: true });
});

// The desktop program's summary of a headless turbo run with these options.
function nativeSummary(args) {
  return JSON.parse(run(game, ["--headless", "--turbo", "--data", data, "--summary", "-", ...args]));
}

// The first line of what the desktop program says on stderr when it refuses these options.
function nativeError(args) {
  try {
    run(game, ["--headless", "--turbo", "--data", data, ...args]);
  } catch (error) {
    return error.stderr.split("\n")[0];
  }
  assert.fail(`${args.join(" ")} was taken`);
}

async function busTopSoon(page, expected) {
  // The move reaches the game at its next frame and the bus in the frame after.
  for (let tries = 0; tries < 20; ++tries) {
    await new Promise((resolve) => setTimeout(resolve, 100));
    if (busTop(await grab(page)) === expected) return expected;
  }
  return busTop(await grab(page));
}

test("the canvas shows the desktop program's frames pixel for pixel", async () => {
  const frames = [160, 400, 899, 960, 1150, 1300];
  const list = frames.join(",");
  const recorded = fs.mkdtempSync(path.join(fixtures, "frames-"));
  run(game, ["--headless", "--turbo", "--seed", "11", "--data", data, "--max-frames", "1301",
             "--input", path.join(fixtures, "game.txt"), "--record", recorded,
             "--record-frames", list]);
  const page = await openGame(browser, `${server.url}?turbo=1&seed=11&max-frames=1301` +
                                       `&input=fixtures/game.txt&record-frames=${list}`);
  await untilEnded(page);
  const kept = await page.evaluate(() => window.quibbetTest.frames);
  for (const frame of frames) {
    const png = readPng(path.join(recorded, `frame_${String(frame).padStart(6, "0")}.png`));
    assert.ok(kept[frame], `frame ${frame} was kept`);
    assert.ok(Buffer.from(kept[frame], "base64").equals(png.rgb), `frame ${frame} is the same`);
  }
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("a pilot's game in turbo ends with the desktop program's summary", async () => {
  for (const seed of [4, 9]) {
    const page = await openGame(browser, `${server.url}?turbo=1&autoplay=1&seed=${seed}`);
    await untilEnded(page);
    const summary = await page.evaluate(() => window.quibbet.summary);
    assert.deepEqual(summary, nativeSummary(["--autoplay", "--seed", String(seed)]), `seed ${seed}`);
    assert.deepEqual(page.uncaught, []);
    await page.close();
  }
});

test("the mouse and a finger steer the bus, and Escape ends the run", async () => {
  const page = await openGame(browser, `${server.url}?data=fixtures/modded/&seed=1` +
                                       "&input=fixtures/skip-intro.txt");
  await page.waitForFunction(() => window.quibbetTest.presented > 3);
  await page.mouse.move(400, 120);
  assert.equal(await busTopSoon(page, 120), 120, "the mouse's height");
  await page.mouse.move(400, 380);
  assert.equal(await busTopSoon(page, 380), 380, "the mouse's new height");
  await page.touchscreen.touchStart(300, 200);
  assert.equal(await busTopSoon(page, 200), 200, "the finger's height");
  await page.touchscreen.touchMove(300, 300);
  assert.equal(await busTopSoon(page, 300), 300, "the finger dragged");
  await page.touchscreen.touchEnd();

  // Held until the run has ended, as a key must be held across a frame to be seen.
  await page.keyboard.down("Escape");
  await untilEnded(page, 10000);
  await page.keyboard.up("Escape");
  const summary = await page.evaluate(() => window.quibbet.summary);
  assert.equal(summary.scenes.length, 2, "the credits are skipped");
  assert.equal(summary.scenes[1].end, "escape");
  assert.equal(await page.$eval("#overlay", (e) => e.hidden), false);
  assert.equal(await page.$eval("#again", (e) => e.hidden), false, "play again is offered");
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("arrow keys steer the bus, and P pauses and resumes the game", async () => {
  const page = await openGame(browser, `${server.url}?data=fixtures/modded/&seed=1` +
                                       "&input=fixtures/skip-intro.txt");
  await page.waitForFunction(() => window.quibbetTest.presented > 3);
  await page.mouse.move(400, 300);
  assert.equal(await busTopSoon(page, 300), 300, "the mouse's height");
  await page.keyboard.down("ArrowUp");
  assert.equal(await busTopSoon(page, 40), 40, "held up to the top of the bus's way");
  await page.keyboard.up("ArrowUp");

  await page.keyboard.press("KeyP");
  await new Promise((resolve) => setTimeout(resolve, 300));
  const paused = await page.evaluate(() => window.quibbetTest.presented);
  await new Promise((resolve) => setTimeout(resolve, 700));
  assert.equal(await page.evaluate(() => window.quibbetTest.presented), paused, "no frame while paused");
  assert.equal(busTop(await grab(page)), -1, "the frame is dimmed");
  await page.keyboard.press("KeyP");
  await page.waitForFunction((at) => window.quibbetTest.presented > at + 5, {}, paused);
  assert.equal(await busTopSoon(page, 40), 40, "the game goes on where it was");
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("the page's Menu button opens the game's menu, and a tap on its Quit ends the run", async () => {
  const page = await openGame(browser, `${server.url}?data=fixtures/modded/&seed=1` +
                                       "&input=fixtures/skip-intro.txt");
  await page.waitForFunction(() => window.quibbetTest.presented > 3);
  await page.click("#menu");
  await new Promise((resolve) => setTimeout(resolve, 300));
  await page.mouse.move(400, 302);  // over Options, the second item: only the menu changes
  await new Promise((resolve) => setTimeout(resolve, 300));
  assert.equal(busTop(await grab(page)), -1, "the frame is dimmed under the menu");
  await page.touchscreen.tap(400, 382);  // Quit, the fourth item
  await untilEnded(page, 10000);
  assert.equal(await page.evaluate(() => window.quibbet.exitCode), 0);
  const summary = await page.evaluate(() => window.quibbet.summary);
  assert.equal(summary.scenes.at(-1).end, "closed", "Quit is a closed window");
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("an archive missing from ?data= is the game's error box, as an overlay", async () => {
  const page = await openGame(browser, `${server.url}?data=fixtures/no-texts/&turbo=1`);
  await untilEnded(page);
  assert.equal(await page.evaluate(() => window.quibbet.exitCode), 1);
  assert.equal(await page.$eval("#caption", (e) => e.textContent), "I/O ERROR");
  assert.match(await page.$eval("#text", (e) => e.textContent), /TEXTS/);
  assert.equal(await page.$eval("#again", (e) => e.hidden), false);
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("an unknown option in the address is named and passed over; a wrong value is refused " +
     "in the command line's words", async () => {
  const page = await openGame(browser, `${server.url}?turbo=1&Seed=5&max-frames=3&utm_source=x`);
  await untilEnded(page);
  assert.equal(await page.evaluate(() => window.quibbet.exitCode), 0, "the game played");
  assert.equal(await page.evaluate(() => window.quibbet.summary.frames), 3);
  const note = await page.$eval("#note-lines", (e) => e.innerText);
  for (const name of ["Seed", "utm_source"]) {
    assert.match(note, new RegExp(`unrecognized option '${name}'`));
    assert.ok(page.messages.some((m) => m.includes(`unrecognized option '${name}'`)), name);
  }
  await page.close();

  for (const [address, option] of [["volume=101", "--volume=101"], ["seed=-1", "--seed=-1"]]) {
    const wrong = await openGame(browser, `${server.url}?turbo=1&${address}`);
    await untilEnded(wrong);
    assert.equal(await wrong.evaluate(() => window.quibbet.exitCode), 2);
    assert.equal(`quibbet: ${await wrong.$eval("#text", (e) => e.textContent)}`,
                 nativeError([option]), address);
    await wrong.close();
  }
});

test("the player's settings outlast a reload of the page", async () => {
  const settings = "/quibbet/config/settings.ini";
  const page = await openGame(browser, `${server.url}?seed=1`);
  // A change of volume unmutes, so - goes first. M after the reload unmutes, and - goes on
  // from 90: the game read what the browser kept.
  for (const [keys, muted, volume] of [[["Minus", "KeyM"], "yes", "90"],
                                       [["KeyM", "Minus"], "no", "80"]]) {
    await page.waitForFunction(() => window.quibbetTest.presented > 3, { timeout: 20000 });
    for (const key of keys) await page.keyboard.press(key);
    const values = (text) => ["mute", "volume"].map(
      (name) => new RegExp(`${name} = (\\w+)`).exec(text)?.[1]);
    const text = await keptSoon(page, settings,
                                (text) => values(text).join() === [muted, volume].join());
    assert.deepEqual(values(text), [muted, volume]);
    await page.reload();
  }
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("a game played in the page to its end is kept in the player's records", async () => {
  const page = await openGame(browser, `${server.url}?seed=3`);
  const presented = () => page.evaluate(() => window.quibbetTest.presented);
  const framesOn = async (count) => {
    const from = await presented();
    await page.waitForFunction((n) => window.quibbetTest.presented >= n, { polling: "raf" },
                               from + count);
  };
  await framesOn(3);
  // Escape ends the intro at the next frame; let go before the game's first frame reads it.
  await page.keyboard.down("Escape");
  await framesOn(1);
  await page.keyboard.up("Escape");
  await framesOn(3);
  await page.keyboard.down("Space");  // gives up; the game ends 100 frames on
  await framesOn(2);
  await page.keyboard.up("Space");
  await framesOn(110);
  await page.keyboard.down("Escape");  // the credits
  await untilEnded(page, 20000);
  await page.keyboard.up("Escape");
  const game = (await page.evaluate(() => window.quibbet.summary)).scenes[1];
  assert.equal(game.ending, "space", JSON.stringify(game));
  const kept = /^game .*ending=gave-up seed=3 /m;
  assert.match(await keptSoon(page, "/quibbet/data/records.txt", (text) => kept.test(text)), kept);
  await page.close();
});

test("the sound reaches a running audio context at the device's rate, none dropped", async () => {
  for (const rate of [44100, 48000, 96000]) {
    const page = await openGame(browser, `${server.url}?autoplay=1&seed=1`, { audioRate: rate });
    await page.waitForFunction(() => window.quibbetTest.audio.received > 44100, { timeout: 20000 });
    const audio = await page.evaluate(() => window.quibbetTest.audio);
    assert.equal(audio.state, "running", `${rate}`);
    assert.equal(audio.rate, rate);
    assert.ok(audio.sent >= audio.received, `${rate}`);
    assert.equal(audio.dropped, 0, `${rate}`);
    assert.ok(Math.abs(audio.ratio / (44100 / rate) - 1) < 0.0101, `${rate}: ratio ${audio.ratio}`);
    assert.deepEqual(page.uncaught, []);
    await page.close();
  }
});

test("the site ships the code's and the data's licences", () => {
  const root = path.join(path.dirname(new URL(import.meta.url).pathname), "..", "..");
  for (const [shipped, source] of [["LICENSE", "LICENSE"], ["LICENSE-DATA.md", "assets/LICENSE.md"],
                                   ["fonts/OFL-1.1.txt", "assets/fonts/OFL-1.1.txt"]])
    assert.ok(fs.readFileSync(path.join(site, shipped)).equals(
      fs.readFileSync(path.join(root, source))), `${shipped} is ${source}`);
});
