// The level editor page: the form of a level, checked at every change by the game's own
// checker, with Play, Copy link, Load, Save and the level's text. The level it starts with is
// the one in its own address (#level=, kept up to date, so that going back to the editor
// keeps the work) or the game's own (game.level).
import { levelFromFragment, levelToFragment } from "./level_link.js";
import { rowItem, showHeader } from "./editor_form.js";
import { levelFromChecked, levelText, newRow, secondsOf, sortRows } from "./editor_level.js";

const $ = (id) => document.getElementById(id);
const status = $("status");
const rowList = $("rows");
let checker, forms, names;
let level = null;
let checked = null;  // { result, layout, text } of the level as it is now

// ---- The checker --------------------------------------------------------------------------

// Calls one of level_checker's functions on `text`, handing its bytes with their length.
function call(name, text) {
  const size = checker.lengthBytesUTF8(text);
  const bytes = checker._malloc(size + 1);
  checker.stringToUTF8(text, bytes, size + 1);
  const answer = checker.UTF8ToString(checker["_" + name](bytes, size));
  checker._free(bytes);
  return answer;
}

function check() {
  const layout = levelText(level);
  const result = JSON.parse(call("level_check", layout.text));
  checked = { result, layout, text: result.ok ? call("level_format", layout.text) : layout.text };
  showNotes();
  $("text").value = checked.text;
  keepInAddress();
}

// Which row a line of the level's text is, or -1.
function rowOfLine(line) {
  return checked.layout.rowLines.indexOf(line);
}

function where(note) {
  const row = rowOfLine(note.line);
  return row < 0 ? `Line ${note.line}` : `Row ${row + 1} (line ${note.line})`;
}

// ---- Notes: the fault and the warnings, on their rows --------------------------------------

// The game refuses a picture its data lack; a mod laid over them (?mod=) may bring it.
function missingName(value, list, what) {
  return list.length && !list.includes(value)
    ? [`The site's data hold no ${what} '${value}': only a mod that has it can play this level.`]
    : [];
}

function showNotes() {
  const { result } = checked;
  const rowNotes = new Map();
  const missing = [...missingName(level.background, names.pictures, "picture"),
                   ...missingName(level.music, names.music, "music")];
  const headerNotes = [...missing];
  const notes = [...(result.error ? [{ ...result.error, fault: true }] : []),
                 ...result.warnings];
  for (const note of notes) {
    const row = rowOfLine(note.line);
    const text = (note.fault ? "" : "Warning: ") + note.reason;
    if (row >= 0) rowNotes.set(row, { text, fault: note.fault });
    else headerNotes.push((note.fault ? "" : "Warning: ") + `line ${note.line}: ${note.reason}`);
  }
  [...rowList.children].forEach((item, i) => {
    const note = rowNotes.get(i);
    item.classList.toggle("has-fault", Boolean(note && note.fault));
    item.classList.toggle("has-warning", Boolean(note && !note.fault));
    const line = item.querySelector(".note");
    line.textContent = note ? note.text : "";
    line.className = "note " + (note ? (note.fault ? "fault" : "warning") : "");
  });
  $("header-note").textContent = headerNotes.join(" ");
  const headerFault = missing.length || (result.error && rowOfLine(result.error.line) < 0);
  $("header-note").className = "note " + (headerFault ? "fault" : "warning");
  showTimeline(result.error ? rowOfLine(result.error.line) : -1);
  say(summary(), result.ok ? "" : "fault");
}

function summary() {
  const { result } = checked;
  if (!result.ok) return `${where(result.error)}: ${result.error.reason}`;
  const rows = result.level.rows;
  const last = rows[rows.length - 1].frame;
  const warned = result.warnings.length
    ? `, ${result.warnings.length} warning${result.warnings.length > 1 ? "s" : ""}` : "";
  const count = `${rows.length} row${rows.length > 1 ? "s" : ""}`;
  return `No faults${warned}: ${count}, the last at frame ${last} (${secondsOf(last)}).`;
}

function say(text, kind = "") {
  status.textContent = text;
  status.className = kind;
}

function showTimeline(faultRow) {
  const frames = level.rows.map((row) => Number(row.frame) || 0);
  const end = Math.max(1, ...frames, Number(level.wonAt) || 0);
  $("timeline").replaceChildren(...frames.map((frame, i) => {
    const mark = document.createElement("span");
    mark.style.left = `${(100 * Math.min(frame, end)) / end}%`;
    if (i === faultRow) mark.className = "fault";
    return mark;
  }));
}

// The editor's address carries its level, so that coming back from the game finds it again.
let addressTimer = 0;
function keepInAddress() {
  clearTimeout(addressTimer);
  const text = checked.text;
  addressTimer = setTimeout(async () => {
    history.replaceState(null, "", await levelToFragment(text));
  }, 300);
}

// ---- The rows -----------------------------------------------------------------------------

// Draws the rows again and puts the focus back on `focusRow`'s control of class `focusClass`.
function showRows(focusRow, focusClass = "frame") {
  rowList.replaceChildren(...level.rows.map((row, i) => rowItem(row, i, forms, names)));
  check();
  const index = level.rows.indexOf(focusRow);
  if (index < 0) return;
  const control = rowList.children[index].querySelector("." + focusClass);
  control.focus();
  control.scrollIntoView({ block: "nearest" });
}

function rowOf(element) {
  return [...rowList.children].indexOf(element.closest(".row"));
}

function listenToRows() {
  rowList.addEventListener("input", (event) => {
    const row = level.rows[rowOf(event.target)];
    const target = event.target;
    if (target.classList.contains("at-bus")) {
      row.atBus = target.checked;
      target.closest(".row").querySelector('[data-key="y"]').disabled = row.atBus;
    } else if (target.dataset.key) {
      row[target.dataset.key] = target.value;
    } else if (!target.classList.contains("action")) {
      const key = ["frame", "every", "times"].find((name) => target.classList.contains(name));
      row[key] = target.value;
      if (key === "frame") target.closest(".row").querySelector(".when").textContent =
        secondsOf(row.frame);
    }
    check();
  });
  rowList.addEventListener("change", (event) => {
    const row = level.rows[rowOf(event.target)];
    if (event.target.classList.contains("action")) {
      row.action = event.target.value;
      showRows(row, "action");
    } else if (event.target.classList.contains("frame")) {
      const sorted = sortRows(level.rows);
      if (sorted.some((r, i) => r !== level.rows[i])) {
        level.rows = sorted;
        showRows(row);
      }
    }
  });
  rowList.addEventListener("click", (event) => {
    const index = rowOf(event.target);
    if (event.target.classList.contains("duplicate")) {
      const copy = { ...level.rows[index] };
      level.rows.splice(index + 1, 0, copy);
      showRows(copy);
    } else if (event.target.classList.contains("remove")) {
      level.rows.splice(index, 1);
      showRows(level.rows[Math.min(index, level.rows.length - 1)]);
      if (!level.rows.length) $("add").focus();
    }
  });
}

function listenToHeader() {
  for (const [id, key] of [["name", "name"], ["background", "background"], ["music", "music"],
                           ["won-at", "wonAt"]])
    $(id).addEventListener("input", () => {
      level[key] = $(id).value;
      check();
    });
}

// ---- Play, link, load, save -----------------------------------------------------------------

// The level's text when it has no fault; otherwise says where the fault is and takes the
// focus there.
function faultlessText() {
  const { result } = checked;
  if (result.ok) return checked.text;
  const row = rowOfLine(result.error.line);
  say(`Mend this first: ${summary()}`, "fault");
  if (row >= 0) rowList.children[row].querySelector(".frame").focus();
  return null;
}

async function gameLink(text) {
  return new URL("index.html" + (await levelToFragment(text)), window.location.href).href;
}

// The game in this tab, the editor's address first brought up to date, so that going back
// finds this very level.
async function play() {
  const text = faultlessText();
  if (text === null) return;
  const fragment = await levelToFragment(text);
  clearTimeout(addressTimer);
  history.replaceState(null, "", fragment);
  window.location.href = new URL("index.html" + fragment, window.location.href).href;
}

async function copyLink() {
  const text = faultlessText();
  if (text === null) return;
  const link = await gameLink(text);
  $("link").value = link;
  try {
    await navigator.clipboard.writeText(link);
    say("The link is copied: whoever opens it plays this level.");
  } catch (error) {
    $("link").focus();
    $("link").select();
    say("The link is in the box below, under the timetable: copy it from there.");
  }
}

// Takes a level's text as the editor's level; false, with the fault said, when it has one.
function takeText(text, source) {
  const result = JSON.parse(call("level_check", text));
  if (!result.ok) {
    $("text").value = text;
    say(`${source}, line ${result.error.line}: ${result.error.reason}`, "fault");
    return false;
  }
  level = levelFromChecked(result.level);
  showHeader(level, names);
  showRows(null);
  return true;
}

function save() {
  const text = checked.text;
  const name = level.name.trim().replace(/[^A-Za-z0-9_-]+/g, "-").replace(/^-+|-+$/g, "");
  const link = document.createElement("a");
  link.href = URL.createObjectURL(new Blob([text], { type: "text/plain" }));
  link.download = (name || "level") + ".level";
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
  if (!checked.result.ok) say(`Saved, with its fault: ${summary()}`, "fault");
}

function listenToButtons() {
  $("add").addEventListener("click", () => {
    const row = newRow(level.rows[level.rows.length - 1]);
    level.rows.push(row);
    showRows(row);
  });
  $("play").addEventListener("click", play);
  $("copy").addEventListener("click", copyLink);
  $("save").addEventListener("click", save);
  $("apply").addEventListener("click", () => takeText($("text").value, "The text"));
  $("load").addEventListener("change", async () => {
    const file = $("load").files[0];
    if (file) takeText(await file.text(), file.name);
    $("load").value = "";
  });
}

// ---- Start --------------------------------------------------------------------------------

async function fetchText(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status} ${response.statusText}`);
  return response.text();
}

async function startingText() {
  try {
    const bytes = await levelFromFragment(window.location.hash);
    if (bytes) return { text: new TextDecoder().decode(bytes), source: "The link's level" };
  } catch (error) {
    say(error.message, "fault");
  }
  return { text: await fetchText("game.level"), source: "game.level" };
}

async function start() {
  [checker, names] = await Promise.all([
    window.createLevelChecker(),
    fetchText("level_data.json").then(JSON.parse)
      .catch(() => ({ pictures: [], music: [], texts: [] }))]);
  forms = JSON.parse(checker.UTF8ToString(checker._level_actions()));
  listenToHeader();
  listenToRows();
  listenToButtons();
  const { text, source } = await startingText();
  if (takeText(text, source)) return;
  const fault = status.textContent;
  takeText(await fetchText("game.level"), "game.level");
  say(`${fault} (the editor holds the game's own level instead)`, "fault");
}

start().catch((error) => say(`The editor could not start: ${error.message}`, "fault"));
