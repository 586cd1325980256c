// Figures of the browser version, measured, not asserted: the site's files raw and gzipped,
// the time from the page's start to its first frame, the interval between frames and the
// program's own work in each frame while the pilot plays at the real pace. Usage:
// QUIBBET_SITE=build-web/site node tests/web/probe.mjs [SECONDS] (default 30).
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";

import { launch, openGame } from "./browser.mjs";
import { serve } from "./site_server.mjs";

const site = process.env.QUIBBET_SITE;
const seconds = Number(process.argv[2] || 30);

function files(dir, prefix = "") {
  return fs.readdirSync(dir, { withFileTypes: true }).flatMap((entry) =>
    entry.isDirectory() ? files(path.join(dir, entry.name), prefix + entry.name + "/")
                        : [prefix + entry.name]);
}

function stats(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const mean = values.reduce((a, b) => a + b, 0) / values.length;
  const sd = Math.sqrt(values.reduce((a, b) => a + (b - mean) ** 2, 0) / values.length);
  const at = (q) => sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
  return `mean ${mean.toFixed(2)} ms, sd ${sd.toFixed(2)}, min ${sorted[0].toFixed(2)}, ` +
         `p99 ${at(0.99).toFixed(2)}, max ${sorted[sorted.length - 1].toFixed(2)} ` +
         `(${values.length} frames)`;
}

let raw = 0, packed = 0;
console.log("site files (bytes raw, gzip -9):");
// The .gz and .br copies build-web.sh writes are what a server sends in the file's place.
for (const file of files(site).filter((name) => !/\.(gz|br)$/.test(name)).sort()) {
  const bytes = fs.readFileSync(path.join(site, file));
  const gzipped = zlib.gzipSync(bytes, { level: 9 }).length;
  raw += bytes.length;
  packed += gzipped;
  console.log(`  ${file.padEnd(20)} ${String(bytes.length).padStart(9)} ${String(gzipped).padStart(9)}`);
}
console.log(`  ${"all".padEnd(20)} ${String(raw).padStart(9)} ${String(packed).padStart(9)}`);

const server = await serve({ "/": site });
const browser = await launch();
// The first page of a browser just started pays for the browser's own start too.
const cold = await openGame(browser, `${server.url}?autoplay=1&seed=4`);
await cold.waitForFunction(() => window.quibbetTest.firstFrameMs !== null);
const coldFirst = await cold.evaluate(() => window.quibbetTest.firstFrameMs);
await cold.close();
console.log(`first frame ${coldFirst.toFixed(0)} ms after the page's start, in a browser just started`);
const page = await openGame(browser, `${server.url}?autoplay=1&seed=4`);
await page.waitForFunction(() => window.quibbetTest.firstFrameMs !== null);
await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
const figures = await page.evaluate(() => ({
  first: window.quibbetTest.firstFrameMs,
  timings: window.quibbetTest.timings,
  intervals: window.quibbetTest.intervals.slice(20),
  work: window.quibbetTest.work.slice(20),
  audio: window.quibbetTest.audio,
}));
console.log(`first frame ${figures.first.toFixed(0)} ms after the page's start (archives ` +
            `fetched at ${figures.timings.files.toFixed(0)} ms, program running at ` +
            `${figures.timings.running.toFixed(0)}, window open at ` +
            `${figures.timings.window.toFixed(0)}; the game waits 1,000 ms of its own before ` +
            `its first frame)`);
console.log(`frame interval: ${stats(figures.intervals)}`);
console.log(`work per frame on the main thread: ${stats(figures.work)}`);
console.log(`sound: ${figures.audio.state}, ${figures.audio.received} frames received, ` +
            `${figures.audio.underruns} underruns, read ratio ${figures.audio.ratio.toFixed(4)}`);
await browser.close();
await server.close();
