// The level editor page (editor.html) in Debian's Chromium: the game's own checker names a
// faulty row by its number, a phone can add a row and press Play, which opens the game with
// the level in its address, and "Copy link" makes a link that carries the editor's text.
// Run by scripts/test-web.sh, which names the built site (QUIBBET_SITE).
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";

import { launch, openGame, untilEnded } from "./browser.mjs";
import { serve } from "./site_server.mjs";

const site = process.env.QUIBBET_SITE;
const PHONE = { width: 390, height: 844, deviceScaleFactor: 1, isMobile: true, hasTouch: true };
const DESKTOP = { width: 1000, height: 800, deviceScaleFactor: 1 };

let server, browser;

before(async () => {
  server = await serve({ "/": site });
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.close();
});

// The editor with the game's own level checked and shown.
async function openEditor(viewport) {
  const page = await browser.newPage();
  await page.setViewport(viewport);
  page.uncaught = [];
  page.on("pageerror", (error) => page.uncaught.push(error.message));
  await page.goto(`${server.url}editor.html`);
  await page.waitForFunction(() => /^No faults/.test(document.getElementById("status").textContent));
  return page;
}

const statusOf = (page) => page.$eval("#status", (element) => element.textContent);
const rowCount = (page) => page.$$eval("#rows > li", (items) => items.length);

// The level a "#level=" link carries, decoded by the site's own level_link.js.
function levelInLink(page, link) {
  return page.evaluate(async (hash) => {
    const { levelFromFragment } = await import("./level_link.js");
    return new TextDecoder().decode(await levelFromFragment(hash));
  }, new URL(link).hash);
}

test("a fault is named by its row's number, on that row, and Play waits for it mended", async () => {
  const page = await openEditor(DESKTOP);
  assert.equal(await rowCount(page), 11, "the game's own level");
  // Row 3 is "170 m&m 800 0", line 8 of the text the editor writes (four of header, a blank).
  const x = await page.$('#rows > li:nth-child(3) [data-key="x"]');
  await x.click({ clickCount: 3 });
  await page.keyboard.type("900");
  assert.equal(await statusOf(page), "Row 3 (line 8): X of an m&m must be 0 to 800, not 900");
  assert.equal(await page.$eval("#rows > li:nth-child(3) .note", (note) => note.textContent),
               "X of an m&m must be 0 to 800, not 900");
  assert.deepEqual(await page.$$eval("#rows > li.has-fault", (items) =>
    items.map((item) => item.getAttribute("aria-label"))), ["Row 3"]);

  await page.click("#play");
  assert.match(await statusOf(page), /^Mend this first: Row 3 /);
  assert.ok(page.url().includes("editor.html"), "the editor stays");
  await x.click({ clickCount: 3 });
  await page.keyboard.type("800");
  assert.match(await statusOf(page), /^No faults/);
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("on a phone a row is added by touch and Play opens the game with the level", async () => {
  const page = await openEditor(PHONE);
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), PHONE.width,
               "no sideways scrolling");
  const small = await page.$$eval("button, select, input:not([type=checkbox])", (controls) =>
    controls.filter((c) => c.getBoundingClientRect().height < 44).map((c) => c.outerHTML));
  assert.deepEqual(small, [], "every control is big enough for a finger");

  await page.tap("#add");
  assert.equal(await rowCount(page), 12);
  assert.equal(await page.evaluate(() => document.activeElement.className), "frame",
               "the new row's frame has the focus");
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), PHONE.width);
  const text = await page.$eval("#text", (area) => area.value);
  assert.match(text, /\n1900 boss\n1900 m&m 800 300\n$/);

  await page.tap("#play");
  await page.waitForFunction(() => window.location.pathname.endsWith("/index.html"));
  const url = new URL(page.url());
  assert.equal(url.pathname, "/index.html");
  assert.match(url.hash, /^#level=[A-Za-z0-9_-]+$/);
  assert.equal(await levelInLink(page, page.url()), text);
  await page.close();
});

// The desktop program's summary of the pilot's game of this level, headless and in turbo.
function nativeSummary(level, seed) {
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "quibbet-editor-")), "a.level");
  fs.writeFileSync(file, level);
  const native = process.env.QUIBBET_NATIVE;
  return JSON.parse(execFileSync(path.join(native, "src", "quibbet"),
    ["--headless", "--turbo", "--data", path.join(native, "data"), "--summary", "-",
     "--level", file, "--autoplay", "--seed", String(seed)], { encoding: "utf8" }));
}

test("Copy link makes a link whose level is the editor's text, which the game plays as the " +
     "desktop program does", async () => {
  const page = await openEditor(DESKTOP);
  await page.click("#name", { clickCount: 3 });
  await page.keyboard.type("Night over the valley");
  await page.select("#rows > li:nth-child(2) .action", "carrot");
  await page.click("#copy");
  await page.waitForFunction(() => document.getElementById("link").value !== "");
  const link = await page.$eval("#link", (input) => input.value);
  const text = await page.$eval("#text", (area) => area.value);
  assert.ok(link.startsWith(`${server.url}index.html#level=`), link);
  assert.match(text, /^name Night over the valley$/m);
  assert.match(text, /^100 carrot 800 600$/m);
  assert.equal(await levelInLink(page, link), text);
  // Headless Chromium lends no clipboard: the link shown in its box is what a player copies.
  assert.match(await statusOf(page), /^The link is (copied|in the box below)/);
  assert.deepEqual(page.uncaught, []);
  await page.close();

  const game = await openGame(browser, `${server.url}index.html?turbo=1&autoplay=1&seed=2` +
                                       new URL(link).hash);
  await untilEnded(game);
  assert.deepEqual(await game.evaluate(() => window.quibbet.summary), nativeSummary(text, 2));
  await game.close();
});
