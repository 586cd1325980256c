// What the page says over the game: the loading line, the program's boxes, the end of the run
// with "Play again", and notes beside the game, which go on under them (an address's unknown
// option).

const overlay = document.getElementById("overlay");
const note = document.getElementById("note");
let boxIsOpen = false;
let againAddress = null;  // the page without the address's bad parameter; null: this page

export function listenForOverlays() {
  document.getElementById("again").addEventListener("click", () => {
    if (againAddress) window.location.assign(againAddress);
    else window.location.reload();
  });
  document.getElementById("ok").addEventListener("click", () => {
    boxIsOpen = false;
    overlay.hidden = true;
  });
  document.getElementById("note-close").addEventListener("click", () => { note.hidden = true; });
}

// "Play again" after a fault of the address's parameter `key` ("data", "#level") plays the
// page without it, rather than the same fault again.
export function offerAgainWithout(key) {
  const url = new URL(window.location.href);
  if (key.startsWith("#")) url.hash = "";
  else url.searchParams.delete(key);
  againAddress = url.href;
}

export function hideLoading() {
  document.getElementById("status").hidden = true;
}

function showOverlay(caption, text, buttons) {
  document.getElementById("caption").textContent = caption;
  document.getElementById("text").textContent = text;
  document.getElementById("ok").hidden = !buttons.ok;
  document.getElementById("again").hidden = !buttons.again;
  overlay.hidden = false;
  if (document.pointerLockElement) document.exitPointerLock();
}

// A box of the program, its lines broken as the desktop's are: a notice waits for OK, an
// error stays up as the program ends.
export function showBox(caption, text, error) {
  boxIsOpen = true;
  showOverlay(caption, text.replace(/\r/g, "\n"), { ok: !error, again: false });
}

export function boxOpen() {
  return boxIsOpen;
}

// The run's end: why it could not start, or a word of thanks; an error box already up stays,
// with "Play again" beside it.
export function showEnd(exitCode, problem) {
  if (problem) showOverlay("The game could not start", problem, { again: true });
  else if (boxIsOpen) document.getElementById("again").hidden = false;
  else showOverlay("Save Quibbet!", exitCode === 0 ? "Thanks for playing." : "The game ended.",
                   { again: true });
}

export function showStopped(error) {
  showOverlay("The game stopped", String(error), { again: true });
}

// One more line in the note beside the game, which stays until the player closes it.
export function showNote(text) {
  const line = document.createElement("p");
  line.textContent = text;
  document.getElementById("note-lines").append(line);
  note.hidden = false;
}
