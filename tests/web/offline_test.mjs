// The site kept and installable: after one visit its service worker has kept it, so that a
// reload with the server gone still plays; the manifest gives a phone PNG icons of the sizes a
// home screen takes; the licence page links the three licences as texts. Run by
// scripts/test-web.sh, which names the built site (QUIBBET_SITE).
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { after, before, test } from "node:test";

import { launch, openGame, untilEnded } from "./browser.mjs";
import { serve } from "./site_server.mjs";

const site = process.env.QUIBBET_SITE;
const PNG_SIGNATURE = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);
let browser;

before(async () => {
  browser = await launch();
});

after(async () => {
  await browser.close();
});

// "WIDTHxHEIGHT" of the PNG file `name` in the site.
function pngSize(name) {
  const bytes = fs.readFileSync(path.join(site, name));
  assert.ok(bytes.subarray(0, 8).equals(PNG_SIGNATURE), `${name} is a PNG`);
  return `${bytes.readUInt32BE(16)}x${bytes.readUInt32BE(20)}`;
}

test("after one visit, a reload with the network off plays to the first game frame", async () => {
  const server = await serve({ "/": site });
  const page = await openGame(browser, `${server.url}?turbo=1&max-frames=5`);
  await untilEnded(page);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await server.close();
  await page.setOfflineMode(true);
  await page.reload();
  await untilEnded(page);
  assert.equal(await page.evaluate(() => window.quibbet.exitCode), 0);
  assert.deepEqual(page.uncaught, []);
  await page.close();
});

test("the manifest's icons are PNGs of 192 and 512, and the licence page links three texts",
     async () => {
  const manifest = JSON.parse(fs.readFileSync(path.join(site, "manifest.webmanifest"), "utf8"));
  assert.equal(manifest.orientation, "landscape");
  for (const icon of manifest.icons) assert.equal(pngSize(icon.src), icon.sizes);
  assert.deepEqual(manifest.icons.map((icon) => icon.sizes), ["192x192", "512x512"]);
  assert.equal(pngSize("apple-touch-icon.png"), "180x180");

  const server = await serve({ "/": site });
  const page = await browser.newPage();
  await page.goto(`${server.url}licences.html`);
  const texts = await page.$$eval("a[href$='.txt']", (links) => links.map((link) => link.href));
  assert.equal(texts.length, 3);
  for (const text of texts) {
    const response = await page.goto(text);
    assert.equal(response.status(), 200, text);
    assert.equal(await page.evaluate(() => document.contentType), "text/plain", text);
  }
  await page.close();
  await server.close();
});
