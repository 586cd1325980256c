// Start-up: the archives (from beside the page, or from ?data=) and the input script fetched
// while the program itself loads and compiles, the page's listeners, and the program started
// with the address's other parameters, which it reads as its command line's options.
import { ended, host, listenForPage, post } from "./bridge.js";
import { listenForInput } from "./input.js";
import { listenForOverlays, showStopped } from "./overlays.js";
import { startSound } from "./sound.js";

const ARCHIVES = ["SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK", "SOUNDS.MPK"];
const INPUT_FILE = "/input.txt";

// The folder of the archives: ?data= (relative to the page or absolute), else the page's own.
function dataFolder(params) {
  const base = new URL(params.get("data") || ".", window.location.href);
  if (!base.pathname.endsWith("/")) base.pathname += "/";
  return base;
}

async function fetchOptional(url) {
  try {
    const response = await fetch(url);
    return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
  } catch (error) {
    return null;
  }
}

const params = new URLSearchParams(window.location.search);
const folder = dataFolder(params);
// A missing archive is the program's to report, in its own words, as is a missing script.
const archives = Promise.all(ARCHIVES.map((name) => fetchOptional(new URL(name, folder))));
const script = params.has("input")
  ? fetchOptional(new URL(params.get("input"), window.location.href)) : Promise.resolve(null);
if (params.has("input")) params.set("input", INPUT_FILE);
params.delete("data");

listenForPage();
listenForInput(post, startSound);
listenForOverlays();
startSound();

// quibbet.js, loaded before this module, defines createQuibbet.
window.createQuibbet({
  quibbetHost: host,
  arguments: [...params].flat(),  // name, value, name, value...
  preRun: [(module) => {
    module.addRunDependency("quibbet-files");
    Promise.all([archives, script]).then(([files, input]) => {
      module.FS.mkdir("/data");
      files.forEach((bytes, i) => {
        if (bytes) module.FS.writeFile("/data/" + ARCHIVES[i], bytes);
      });
      if (input) module.FS.writeFile(INPUT_FILE, input);
      module.removeRunDependency("quibbet-files");
    });
  }],
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
}).catch((error) => {
  if (!ended()) showStopped(error);
});
