// The level the editor holds, as plain data, and its text. Every value is kept as the player
// typed it, a string, and written into the text as it is: the game's own checker
// (level_checker.wasm) is the one judge of a level, and a fault it finds names a line, which
// `levelText` maps back to its row.

export const FRAMES_PER_SECOND = 20;

// A row of a level as the checker's JSON gives it, its values as strings.
export function rowFromChecked(row) {
  const text = (value) => String(value);
  return { frame: text(row.frame), action: row.action, x: text(row.x), y: text(row.y),
           atBus: row.atBus, hold: text(row.hold), fadeIn: text(row.fadeIn),
           fadeOut: text(row.fadeOut), text: row.text, every: row.every ? text(row.every) : "",
           times: text(row.times) };
}

export function levelFromChecked(level) {
  return { name: level.name, background: level.background, music: level.music,
           wonAt: level.wonAt ? String(level.wonAt) : "", rows: level.rows.map(rowFromChecked) };
}

// A new row after `previous` (or at the start): an m&m from the right edge, at the same frame
// so that the order holds.
export function newRow(previous) {
  return { frame: previous ? previous.frame : "1", action: "m&m", x: "800", y: "300",
           atBus: false, hold: "20", fadeIn: "10", fadeOut: "10", text: "hint.txt", every: "",
           times: "1" };
}

// The arguments after a row's action, as its form lists them.
function argumentWords(row) {
  switch (row.action) {
    case "text":
      return [row.x, row.y, row.hold, row.fadeIn, row.fadeOut, row.text];
    case "grenade":
      return [row.x, row.atBus ? "bus" : row.y];
    case "boss":
      return [];
    default:
      return [row.x, row.y];
  }
}

function rowLine(row) {
  const words = [row.frame, row.action, ...argumentWords(row)];
  if (row.times !== "" && row.times !== "1") words.push("every", row.every, "times", row.times);
  // A value left empty is missing from the line, which the checker says in its own words.
  return words.map((word) => String(word).trim()).filter((word) => word !== "").join(" ");
}

// The level as a file: its text, the line of each row (1 for the first line) and the lines
// of the header's entries, laid out as the game's own writer lays a level out.
export function levelText(level) {
  const lines = ["quibbet-level 1", "name " + level.name.trim(),
                 "background " + level.background, "music " + level.music];
  const headerLines = { name: 2, background: 3, music: 4, wonAt: 0 };
  if (level.wonAt.trim() !== "") {
    lines.push("won-at " + level.wonAt.trim());
    headerLines.wonAt = lines.length;
  }
  lines.push("");
  const rowLines = level.rows.map((row) => {
    lines.push(rowLine(row));
    return lines.length;
  });
  return { text: lines.join("\n") + "\n", rowLines, headerLines };
}

// The rows in frame order, rows of one frame kept in the order they had; a row whose frame
// is not a number stays where it is for the checker to name.
export function sortRows(rows) {
  const keyed = rows.map((row, index) => ({ row, index, frame: Number(row.frame) }));
  if (keyed.some((entry) => !Number.isInteger(entry.frame))) return rows;
  keyed.sort((a, b) => a.frame - b.frame || a.index - b.index);
  return keyed.map((entry) => entry.row);
}

export function secondsOf(frame) {
  const value = Number(frame);
  return Number.isFinite(value) ? (value / FRAMES_PER_SECOND).toFixed(1) + " s" : "";
}
