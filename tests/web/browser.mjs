// Debian's Chromium, headless, as the tests and the probe drive it: no sandbox (CI runs as
// root), no network of its own (this machine's network is closed), and sound allowed without
// a click, as a player's first click would allow it.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const instrument = fs.readFileSync(new URL("instrument.js", import.meta.url), "utf8");
const PASS_START = `document.addEventListener("DOMContentLoaded", () => {
  const start = document.getElementById("start");
  if (start && !start.hidden) document.getElementById("start-button").click();
});`;

export async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "quibbet-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    userDataDir: profile,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           "--autoplay-policy=no-user-gesture-required"],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A page of the game at `url`, 800 x 600 so that the frame fills it pixel for pixel, with
// window.quibbetTest (instrument.js); it keeps every uncaught exception of the page and every
// line of its console.
// `audioRate`, when given, is the rate every audio context of the page runs at. The start
// screen is passed as a player's click would pass it, on every load, unless `start` is false;
// `viewport` replaces the 800 x 600 one; `prepare(page)` runs before the page is loaded.
export async function openGame(browser, url,
                               { audioRate, start = true, viewport, prepare } = {}) {
  const page = await browser.newPage();
  await page.setViewport(viewport ||
                         { width: 800, height: 600, deviceScaleFactor: 1, hasTouch: true });
  if (start) await page.evaluateOnNewDocument(PASS_START);
  if (audioRate) await page.evaluateOnNewDocument(`window.quibbetTestRate = ${audioRate};`);
  await page.evaluateOnNewDocument(instrument);
  page.uncaught = [];
  page.on("pageerror", (error) => page.uncaught.push(error.message));
  page.messages = [];
  page.on("console", (message) => page.messages.push(message.text()));
  if (prepare) await prepare(page);
  await page.goto(url);
  return page;
}

export async function untilEnded(page, timeout = 240000) {
  await page.waitForFunction(() => window.quibbet && window.quibbet.exitCode !== null,
                             { timeout, polling: 200 });
}

// A file of the player's folders as the browser keeps it between visits; null when none.
export function keptFile(page, file) {
  return page.evaluate((file) => new Promise((resolve) => {
    const open = indexedDB.open("/quibbet");
    open.onerror = () => resolve(null);
    open.onsuccess = () => {
      const db = open.result;
      if (!db.objectStoreNames.contains("FILE_DATA")) {
        db.close();
        return resolve(null);
      }
      const get = db.transaction("FILE_DATA").objectStore("FILE_DATA").get(file);
      get.onsuccess = () => {
        db.close();
        resolve(get.result ? new TextDecoder().decode(get.result.contents) : null);
      };
      get.onerror = () => resolve(null);
    };
  }), file);
}

// The kept file once `holds` says it holds what it should (the browser keeps it in the
// background), or as it is after ten seconds.
export async function keptSoon(page, file, holds) {
  let text = await keptFile(page, file);
  for (let waited = 0; !holds(text || "") && waited < 10000; waited += 200) {
    await new Promise((resolve) => setTimeout(resolve, 200));
    text = await keptFile(page, file);
  }
  return text || "";
}
