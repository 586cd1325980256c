// Start-up: the archives (from beside the page, or from ?data=), the input script, the mods
// (?mod=, again for more) and the level (?level=, or the link's own #level=) fetched into files
// while the program itself loads and compiles, the page's listeners, and the program started
// with the address's other parameters, which it reads as its command line's options. The
// sound's archive comes last and may arrive while the game already plays.
import { ended, host, listenForPage, nameFile, post } from "./bridge.js";
import { listenForInput } from "./input.js";
import { LoadFault, fetchBytes, webAddress } from "./fetching.js";
import { listenForPads } from "./gamepad.js";
import { levelFromFragment } from "./level_link.js";
import { listenForOverlays, offerAgainWithout, showNote, showStopped } from "./overlays.js";
import { keepOffline } from "./offline.js";
import { startSound } from "./sound.js";

// The game starts with these; the sound's archive, the largest, follows while it plays.
const ARCHIVES = ["SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK"];
const SOUND_ARCHIVE = "SOUNDS.MPK";
// A mod holds any of these; those it lacks come from the game's own.
const MOD_ARCHIVES = [...ARCHIVES, SOUND_ARCHIVE, "LEVELS.MPK"];
const INPUT_FILE = "/input.txt";
const LEVEL_FILE = "/level.txt";

// The folder at an address, ending in "/".
function folderAt(key, text) {
  const folder = webAddress(key, text);
  if (!folder.pathname.endsWith("/")) folder.pathname += "/";
  return folder;
}

// Another site's files show under this site's name only with a note that says whose they are.
function noteOrigin(url, what) {
  if (url.origin !== window.location.origin)
    showNote(`${what} come from ${url.origin}, not from this site.`);
}

// An archive of the game's. A missing one is the program's to report, in its own words; the
// page names its address.
async function fetchArchive(name, folder) {
  const url = new URL(name, folder);
  const bytes = await fetchBytes(url, { key: "data", missingIsFine: true });
  if (!bytes) showNote(`${url}: HTTP 404, no such file`);
  return bytes;
}

// Those of the five archives a mod holds; null for each it lacks.
async function fetchMod(text) {
  const folder = folderAt("mod", text);
  noteOrigin(folder, "The mod's files");
  return Promise.all(MOD_ARCHIVES.map((name) => fetchBytes(new URL(name, folder),
                                                           { key: "mod", missingIsFine: true })));
}

async function fetchFile(key, text, what) {
  const url = webAddress(key, text);
  noteOrigin(url, what);
  return fetchBytes(url, { key });
}

// The level the address names: the link's own (#level=), else ?level= (`text`); null for
// none.
async function fetchLevel(text) {
  let carried;
  try {
    carried = await levelFromFragment(window.location.hash);
  } catch (error) {
    throw new LoadFault(error.message, "#level");
  }
  if (carried) return carried;
  return text === null ? null : fetchFile("level", text, "The level");
}

const params = new URLSearchParams(window.location.search);
// The program names the files by their paths here, the page by their addresses.
const dataAddress = params.get("data") || ".";
const dataFolder = Promise.resolve().then(() => {
  const folder = folderAt("data", dataAddress);
  noteOrigin(folder, "The game's pictures, fonts, texts and sounds");
  return folder;
});
const archives = dataFolder.then(
  (folder) => Promise.all(ARCHIVES.map((name) => fetchArchive(name, folder))));
const script = params.has("input") ? fetchFile("input", params.get("input"), "The input script")
                                   : Promise.resolve(null);
const mods = Promise.all(params.getAll("mod").map(fetchMod));
const modFolders = params.getAll("mod").map((address, i) => {
  nameFile("/mods/" + (i + 1), address);
  return "/mods/" + (i + 1);
});
const level = fetchLevel(params.get("level"));
// Handled from here on: a damaged link or a bad address fails at once, long before the
// program asks for its files.
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

// The start screen: the game waits for the player's click, tap or key, which also lets the
// page sound. An address that plays by itself (autoplay, turbo) starts at once.
function waitForPlayer() {
  const byItself = ["autoplay", "turbo"].some(
    (key) => params.has(key) && !/^(0|false|no|off)$/i.test(params.get(key)));
  if (byItself) return Promise.resolve();
  const start = document.getElementById("start");
  start.hidden = false;
  return new Promise((resolve) => {
    const go = (event) => {
      if (event.target.id === "make-level") return;  // a link away, not a start
      event.preventDefault();
      event.stopPropagation();
      window.removeEventListener("keydown", go, true);
      start.removeEventListener("click", go);
      start.hidden = true;
      startSound();
      resolve();
    };
    start.addEventListener("click", go);
    window.addEventListener("keydown", go, true);
    document.getElementById("start-button").focus();
  });
}
const playerReady = waitForPlayer();

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

// The sound's archive, fetched only once the program and the files the game starts with are
// in, so that it takes nothing from their bandwidth. It joins the others when they are written:
// before the run when it is there by then, else during it, which the program hears as a "data"
// event and then starts the sound. Without it the game plays on silent.
async function joinSound(FS, filesWritten) {
  let bytes = null;
  try {
    bytes = await fetchArchive(SOUND_ARCHIVE, await dataFolder);
  } catch (error) {
    showNote(`${error.message}; the game plays without sound`);
  }
  await filesWritten;
  if (bytes && !ended()) {
    FS.writeFile("/data/" + SOUND_ARCHIVE, bytes);
    post({ type: "data" });
  }
  // The service worker's copying of the site waits too, for the same reason.
  keepOffline();
}

listenForPage();
listenForInput(post, startSound);
listenForPads(post);
listenForOverlays();
startSound();

// quibbet.js, loaded before this module, defines createQuibbet.
window.createQuibbet({
  quibbetHost: host,
  arguments: [...params].flat(),  // name, value, name, value...
  preRun: [(module) => {
    // The program itself is compiled by now.
    module.addRunDependency("quibbet-files");
    const written = Promise.all([fetched, playerReady]).then(([files]) => {
      writeFiles(module.FS, files);
      module.removeRunDependency("quibbet-files");
    }, (error) => {
      document.getElementById("start").hidden = true;
      if (error.key) offerAgainWithout(error.key);
      host.finished(2, "", error.message);
    });
    fetched.then(() => joinSound(module.FS, written), () => {});
  }],
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
}).catch((error) => {
  if (!ended()) showStopped(error);
});
