// The page's loading tells the truth: an address that is no web address is refused at once, a
// missing archive is named with its address and status, a server that never answers ends in
// a message naming it, and "Play again" leaves the bad parameter out.
import assert from "node:assert/strict";
import fs from "node:fs";
import net from "node:net";
import os from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";

import { launch, openGame, untilEnded } from "./browser.mjs";
import { serve } from "./site_server.mjs";

const site = process.env.QUIBBET_SITE;
let fixtures, server, silent, browser;

before(async () => {
  fixtures = fs.mkdtempSync(path.join(os.tmpdir(), "quibbet-loading-"));
  fs.mkdirSync(path.join(fixtures, "empty"));
  server = await serve({ "/": site, "/fixtures/": fixtures });
  // Takes every connection and never answers.
  silent = net.createServer(() => {});
  await new Promise((resolve) => silent.listen(0, "127.0.0.1", resolve));
  browser = await launch();
});

after(async () => {
  await browser?.close();
  await server?.close();
  silent?.close();
  fs.rmSync(fixtures, { recursive: true, force: true });
});

async function ended(address, timeout) {
  const page = await openGame(browser, `${server.url}${address}`);
  const started = Date.now();
  await untilEnded(page, timeout);
  const run = await page.evaluate(() => ({ ...window.quibbet }));
  run.seconds = (Date.now() - started) / 1000;
  run.note = await page.$eval("#note-lines", (e) => e.innerText);
  run.page = page;
  return run;
}

test("an address that is no web address is refused at once, and Play again leaves it out",
     async () => {
  for (const data of ["javascript:alert(1)", "data:text/plain,hello/"]) {
    const run = await ended(`?turbo=1&data=${encodeURIComponent(data)}&seed=4`, 5000);
    assert.equal(run.exitCode, 2);
    assert.equal(run.problem, `?data=${data} is not a web address (http: or https:)`);
    await Promise.all([run.page.waitForNavigation(), run.page.click("#again")]);
    assert.equal(run.page.url(), `${server.url}?turbo=1&seed=4`);
    await run.page.close();
  }
});

test("a missing archive is named with its address and status; a silent server within 30 s",
     async () => {
  const missing = await ended("?turbo=1&data=fixtures/empty/");
  assert.equal(missing.exitCode, 1, "the game's own error box");
  assert.match(missing.note, new RegExp(`${server.url}fixtures/empty/TEXTS.MPK: HTTP 404`));
  await missing.page.close();

  const address = `http://127.0.0.1:${silent.address().port}/`;
  const hung = await ended(`?turbo=1&data=${address}`, 30000);
  assert.equal(hung.exitCode, 2);
  assert.match(hung.problem, new RegExp(`^${address}\\w+\\.MPK: no answer from the server`));
  assert.match(hung.note, new RegExp(`come from http://127.0.0.1:${silent.address().port}`));
  await hung.page.close();
});
