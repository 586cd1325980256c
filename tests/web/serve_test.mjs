// scripts/serve-web.sh serves the site as a host should: the compressed copies build-web.sh wrote
// under their original's type, nosniff, a content security policy the page plays under, text
// for the licences and no folder listings; and a player's first load over it on a slow link
// starts the game before the sound's archive is there. Run by scripts/test-web.sh
// (QUIBBET_SITE names the site).
import assert from "node:assert/strict";
import { spawn } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import readline from "node:readline";
import { after, before, test } from "node:test";
import { fileURLToPath } from "node:url";

import { launch, openGame, untilEnded } from "./browser.mjs";

const site = process.env.QUIBBET_SITE;
const script = fileURLToPath(new URL("../../scripts/serve-web.sh", import.meta.url));

let server, url;

before(async () => {
  server = spawn(script, ["0"], { env: { ...process.env, WEB_BUILD_DIR: path.dirname(site) },
                                  stdio: ["ignore", "pipe", "ignore"] });
  // Its first line names the address, once it listens.
  const [line] = await readline.createInterface({ input: server.stdout })[Symbol.asyncIterator]()
    .next().then(({ value }) => [value]);
  url = line.match(/http:\S+/)[0];
});

after(() => server?.kill());

async function get(name, encoding = "identity") {
  const response = await fetch(new URL(name, url), { headers: { "Accept-Encoding": encoding } });
  return { headers: response.headers, status: response.status,
           body: Buffer.from(await response.arrayBuffer()) };
}

test("the program and the archives go compressed under their own type, and nothing is listed",
     async () => {
  const codings = fs.existsSync(path.join(site, "quibbet.wasm.br")) ? ["gzip", "br"] : ["gzip"];
  for (const [name, type] of [["quibbet.wasm", "application/wasm"],
                              ["SPRITES.MPK", "application/octet-stream"]]) {
    const original = fs.readFileSync(path.join(site, name));
    for (const coding of [...codings, "identity"]) {
      const { headers, body } = await get(name, coding);
      assert.equal(headers.get("content-type"), type, name);
      assert.equal(headers.get("content-encoding"), coding === "identity" ? null : coding,
                   `${name} asked for ${coding}`);
      assert.equal(headers.get("vary"), "Accept-Encoding");
      assert.equal(headers.get("cache-control"), "no-cache");
      assert.ok(body.equals(original), `${name} as ${coding} is the file`);
    }
  }
  const page = await get("");
  assert.equal(page.headers.get("x-content-type-options"), "nosniff");
  assert.match(page.headers.get("content-security-policy"), /script-src 'self' 'wasm-unsafe-eval'/);
  const licence = await get("LICENSE");
  assert.equal(licence.headers.get("content-type"), "text/plain; charset=utf-8");
  for (const folder of ["fonts/", "mods/", "mods/morning/"])
    assert.equal((await get(folder)).status, 404, `${folder} is not listed`);
});

test("the page plays to its end under the served content security policy", async () => {
  const browser = await launch();
  try {
    const page = await openGame(browser, `${url}?turbo=1&max-frames=40`);
    // A refused script or fetch stops the page where it is: fail at the refusal, not the timeout.
    const refused = new Promise((resolve, reject) => {
      const check = (line) => /Content Security Policy/i.test(line) && reject(new Error(line));
      page.messages.forEach(check);
      page.on("console", (message) => check(message.text()));
    });
    await Promise.race([untilEnded(page), refused]);
    assert.equal(await page.evaluate(() => window.quibbet.exitCode), 0);
    assert.deepEqual(page.uncaught, []);
  } finally {
    await browser.close();
  }
});

// The slow link of the first load: 1.5 Mbit/s each way, 560 ms before each answer.
const SLOW_LINK = { download: 1.5e6 / 8, upload: 1.5e6 / 8, latency: 560 };

test("on a slow link the game starts before the sound's archive, within 10 s and 1.0 MB, " +
     "and the sound joins when it comes", async (t) => {
  const browser = await launch();
  try {
    let received = 0;  // bytes on the wire, compressed, headers left out
    let sounds = null;  // the request for SOUNDS.MPK, held back
    const asked = [];
    const page = await openGame(browser, `${url}?autoplay=1&seed=4`, { prepare: async (page) => {
      const network = await page.createCDPSession();
      await network.send("Network.enable");
      network.on("Network.dataReceived", (event) => { received += event.encodedDataLength; });
      await page.setCacheEnabled(false);
      await page.emulateNetworkConditions(SLOW_LINK);
      await page.setRequestInterception(true);
      page.on("request", (request) => {
        asked.push(request.url().replace(url, ""));
        if (request.url().endsWith("/SOUNDS.MPK")) sounds = request;
        else request.continue();
      });
    } });
    const progress = new Set();
    let first = null;
    while (first === null) {
      await new Promise((resolve) => setTimeout(resolve, 250));
      progress.add(await page.$eval("#progress", (bar) => bar.value));
      first = await page.evaluate(() => window.quibbetTest.firstFrameMs);
    }
    t.diagnostic(`first frame at ${first.toFixed(0)} ms after ${received} bytes; ` +
                 `asked for ${asked.join(" ")}`);
    assert.ok(first < 10000, `the first frame came ${first.toFixed(0)} ms after the start`);
    assert.ok(received < 1e6, `${received} bytes came before the first frame`);
    assert.ok(progress.size >= 3, `the progress bar showed ${[...progress]}`);
    assert.ok(sounds, "the page asked for the sound's archive");

    await page.emulateNetworkConditions(null);
    await sounds.continue();
    await page.waitForFunction(() => window.quibbetTest.audio.peak > 0, { timeout: 30000 });
    assert.deepEqual(page.uncaught, []);
  } finally {
    await browser.close();
  }
});
