// A level that travels inside a link: "#level=" and then the level file's text, deflated by
// the browser's own CompressionStream ("deflate-raw") and written in base64url without
// padding. The game's page plays it; the editor makes it.

// As the program caps a level file: a link that inflates to more is refused, not held.
const MAX_LEVEL_BYTES = 1 << 20;
export const LINK_KEY = "level=";

function toBase64Url(bytes) {
  let binary = "";
  for (let i = 0; i < bytes.length; i += 0x8000)
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

function fromBase64Url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text)) throw new Error("the level in the link is not base64url");
  const binary = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

async function collect(stream, limit) {
  const reader = stream.getReader();
  const chunks = [];
  let size = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    size += value.length;
    if (size > limit) {
      await reader.cancel();
      throw new Error("the level in the link is larger than " + limit + " bytes");
    }
    chunks.push(value);
  }
  const bytes = new Uint8Array(size);
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.length;
  }
  return bytes;
}

function streamOf(bytes) {
  return new Blob([bytes]).stream();
}

// The "#level=..." fragment for a level's text.
export async function levelToFragment(text) {
  const bytes = new TextEncoder().encode(text);
  const deflated = await collect(streamOf(bytes).pipeThrough(new CompressionStream("deflate-raw")),
                                 Infinity);
  return "#" + LINK_KEY + toBase64Url(deflated);
}

// The level's bytes a fragment carries; null when the fragment carries none. Throws with a
// reason a player can read when the fragment is damaged.
export async function levelFromFragment(fragment) {
  const prefix = "#" + LINK_KEY;
  if (!fragment.startsWith(prefix)) return null;
  const deflated = fromBase64Url(fragment.slice(prefix.length));
  try {
    return await collect(
      streamOf(deflated).pipeThrough(new DecompressionStream("deflate-raw")), MAX_LEVEL_BYTES);
  } catch (error) {
    if (/larger than/.test(error.message)) throw error;
    throw new Error("the level in the link is damaged (" + error.message + ")");
  }
}
