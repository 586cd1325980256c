// Debian's Chromium, headless, as the tests and the probe drive it: no sandbox (CI runs as
// root), no network of its own (this machine's network is closed), and sound allowed without
// a click, as a player's first click would allow it.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import puppeteer from "puppeteer-core";

const instrument = fs.readFileSync(new URL("instrument.js", import.meta.url), "utf8");

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
// `audioRate`, when given, is the rate every audio context of the page runs at.
export async function openGame(browser, url, { audioRate } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 600, deviceScaleFactor: 1, hasTouch: true });
  if (audioRate) await page.evaluateOnNewDocument(`window.quibbetTestRate = ${audioRate};`);
  await page.evaluateOnNewDocument(instrument);
  page.uncaught = [];
  page.on("pageerror", (error) => page.uncaught.push(error.message));
  page.messages = [];
  page.on("console", (message) => page.messages.push(message.text()));
  await page.goto(url);
  return page;
}

export async function untilEnded(page, timeout = 240000) {
  await page.waitForFunction(() => window.quibbet && window.quibbet.exitCode !== null,
                             { timeout, polling: 200 });
}
