// Start-up: the archives (from beside the page, or from ?data=), the input script, the mods
// (?mod=, again for more) and the level (?level=, or the link's own #level=) fetched into files
// while the program itself loads and compiles, the page's listeners, and the program started
// with the address's other parameters, which it reads as its command line's options.
import { ended, host, listenForPage, nameFile, post } from "./bridge.js";
import { listenForInput } from "./input.js";
import { levelFromFragment } from "./level_link.js";
import { listenForOverlays, showStopped } from "./overlays.js";
import { startSound } from "./sound.js";

const ARCHIVES = ["SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK", "SOUNDS.MPK"];
// A mod holds any of these; those it lacks come from the game's own.
const MOD_ARCHIVES = [...ARCHIVES, "LEVELS.MPK"];
const INPUT_FILE = "/input.txt";
const LEVEL_FILE = "/level.txt";

// A folder's address (relative to the page or absolute), ending in "/".
function folderOf(address) {
  const base = new URL(address, window.location.href);
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

// Each file of `names` in the folder at `address`, or null where there is none.
function fetchFolder(address, names) {
  const folder = folderOf(address);
  return Promise.all(names.map((name) => fetchOptional(new URL(name, folder))));
}

// The level the address names: the link's own (#level=), else ?level= (`address`); null for
// none.
async function fetchLevel(address) {
  const carried = await levelFromFragment(window.location.hash);
  if (carried) return carried;
  return address === null ? null : fetchOptional(new URL(address, window.location.href));
}

const params = new URLSearchParams(window.location.search);
// A missing archive is the program's to report, in its own words, as is a missing script,
// mod or level; the program names them by the files here, the page by their addresses.
const archives = fetchFolder(params.get("data") || ".", ARCHIVES);
const script = params.has("input")
  ? fetchOptional(new URL(params.get("input"), window.location.href)) : Promise.resolve(null);
const mods = Promise.all(params.getAll("mod").map((address) => fetchFolder(address,
                                                                           MOD_ARCHIVES)));
const modFolders = params.getAll("mod").map((address, i) => {
  nameFile("/mods/" + (i + 1), address);
  return "/mods/" + (i + 1);
});
const level = fetchLevel(params.get("level"));
// Handled from here on: a damaged link fails at once, long before the program asks.
const fetched = Promise.all([archives, script, mods, level]);
fetched.catch(() => {});
if (params.has("input")) nameFile(INPUT_FILE, params.get("input"));
if (params.has("level")) nameFile(LEVEL_FILE, params.get("level"));
if (window.location.hash.startsWith("#level=")) params.set("level", "");
params.delete("data");
params.delete("mod");
for (const folder of modFolders) params.append("mod", folder);
for (const [name, file] of [["input", INPUT_FILE], ["level", LEVEL_FILE]])
  if (params.has(name)) params.set(name, file);

// The fetched files, where the program looks for them.
function writeFiles(FS, [files, input, modFiles, levelBytes]) {
  FS.mkdir("/data");
  files.forEach((bytes, i) => {
    if (bytes) FS.writeFile("/data/" + ARCHIVES[i], bytes);
  });
  if (input) FS.writeFile(INPUT_FILE, input);
  if (modFiles.length) FS.mkdir("/mods");
  modFiles.forEach((held, m) => {
    FS.mkdir(modFolders[m]);
    held.forEach((bytes, i) => {
      if (bytes) FS.writeFile(modFolders[m] + "/" + MOD_ARCHIVES[i], bytes);
    });
  });
  if (levelBytes) FS.writeFile(LEVEL_FILE, levelBytes);
}

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
    fetched.then((files) => {
      writeFiles(module.FS, files);
      module.removeRunDependency("quibbet-files");
    }, (error) => host.finished(2, "", error.message));
  }],
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
}).catch((error) => {
  if (!ended()) showStopped(error);
});
