// Levels and mods in the page: ?mod= lays a mod over the site's data, ?level= and a link's
// #level= play a level file, each as the desktop program plays it; an address that leads to
// nothing is named in the message.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";
import zlib from "node:zlib";

import { launch, openGame, untilEnded } from "./browser.mjs";
import { serve } from "./site_server.mjs";

const site = process.env.QUIBBET_SITE;
const native = process.env.QUIBBET_NATIVE;
const LEVEL = "quibbet-level 1\nname Short day\nbackground background.pcx\nmusic game\n" +
  "won-at 300\n5 text 270 295 20 10 10 hint.txt\n60 m&m 800 100 every 40 times 4\n" +
  "120 grenade 800 bus\n";

let fixtures, server, browser;

before(async () => {
  fixtures = fs.mkdtempSync(path.join(os.tmpdir(), "quibbet-levels-"));
  fs.writeFileSync(path.join(fixtures, "short.level"), LEVEL);
  fs.mkdirSync(path.join(fixtures, "no-mod"));
  server = await serve({ "/": site, "/fixtures/": fixtures });
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(fixtures, { recursive: true, force: true });
});

function nativeSummary(args) {
  return JSON.parse(execFileSync(path.join(native, "src", "quibbet"),
    ["--headless", "--turbo", "--data", path.join(native, "data"), "--summary", "-", ...args],
    { encoding: "utf8" }));
}

async function pageRun(address) {
  const page = await openGame(browser, `${server.url}${address}`);
  await untilEnded(page);
  const run = await page.evaluate(() => ({ ...window.quibbet }));
  assert.deepEqual(page.uncaught, [], address);
  await page.close();
  return run;
}

test("a mod and a level by address or in the link play as the desktop program plays them",
     async () => {
  const mod = await pageRun("?mod=mods/morning&turbo=1&autoplay=1&seed=3");
  assert.deepEqual(mod.summary, nativeSummary(["--mod", path.join(native, "mods", "morning"),
                                               "--autoplay", "--seed", "3"]));

  const level = nativeSummary(["--level", path.join(fixtures, "short.level"), "--autoplay",
                               "--seed", "2"]);
  const fetched = await pageRun("?level=fixtures/short.level&turbo=1&autoplay=1&seed=2");
  assert.deepEqual(fetched.summary, level);
  const link = zlib.deflateRawSync(Buffer.from(LEVEL)).toString("base64url");
  const carried = await pageRun(`?turbo=1&autoplay=1&seed=2#level=${link}`);
  assert.deepEqual(carried.summary, level);
});

test("a level or mod that cannot be had is named by its address", async () => {
  const missing = await pageRun("?level=fixtures/gone.level&turbo=1");
  assert.equal(missing.exitCode, 2);
  assert.match(missing.problem, /fixtures\/gone\.level: HTTP 404/);
  const noMod = await pageRun("?mod=fixtures/no-mod&turbo=1");
  assert.equal(noMod.exitCode, 2);
  assert.match(noMod.problem, /^--mod fixtures\/no-mod holds none of SPRITES.MPK/);
  const damaged = await pageRun("?turbo=1#level=AAAA");
  assert.equal(damaged.exitCode, 2);
  assert.match(damaged.problem, /the level in the link is damaged/);
});
