// The page's downloads (the archives, a mod's, a level, an input script), each with a limit
// on silence and its bytes counted for the loading line; a failure names the address and why:
// the HTTP status, no answer, or a network or cross-origin refusal, which a page cannot tell
// apart.

// A server that takes the connection and then says nothing must not leave "Loading..." up
// for ever.
const SILENCE_LIMIT_MS = 20000;

// A download that failed, or an address that is none; `key` is the address parameter that
// named it, if one did.
export class LoadFault extends Error {
  constructor(message, key) {
    super(message);
    this.key = key;
  }
}

// `text` as an address relative to the page; a LoadFault when it is not a web address.
export function webAddress(key, text) {
  let url;
  try {
    url = new URL(text, window.location.href);
  } catch (error) {
    throw new LoadFault(`?${key}=${text} is not an address`, key);
  }
  if (url.protocol !== "http:" && url.protocol !== "https:")
    throw new LoadFault(`?${key}=${text} is not a web address (http: or https:)`, key);
  return url;
}

const downloads = new Set();  // { received, total } of each, for the loading line

function showProgress() {
  let received = 0, total = 0;
  for (const download of downloads) {
    received += download.received;
    total += Math.max(download.total, download.received);
  }
  const bar = document.getElementById("progress");
  const line = document.getElementById("progress-text");
  if (!bar || !line) return;
  const megabytes = (bytes) => (bytes / 1e6).toFixed(1);
  bar.max = Math.max(total, 1);
  bar.value = received;
  line.textContent = `${megabytes(received)} of ${megabytes(total)} MB`;
}

async function readBody(response, download, restartTimer) {
  const reader = response.body.getReader();
  const chunks = [];
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    chunks.push(value);
    download.received += value.length;
    restartTimer();
    showProgress();
  }
  const bytes = new Uint8Array(download.received);
  let at = 0;
  for (const chunk of chunks) {
    bytes.set(chunk, at);
    at += chunk.length;
  }
  return bytes;
}

// The bytes at `url`, or null when the server has no such file (404) and `missingIsFine`.
// `key`: the address parameter that named it, for the fault.
export async function fetchBytes(url, { key, missingIsFine = false } = {}) {
  const controller = new AbortController();
  let silent = false;
  let timer;
  const restartTimer = () => {
    clearTimeout(timer);
    timer = setTimeout(() => { silent = true; controller.abort(); }, SILENCE_LIMIT_MS);
  };
  const download = { received: 0, total: 0 };
  downloads.add(download);
  restartTimer();
  try {
    const response = await fetch(url, { signal: controller.signal });
    if (response.status === 404 && missingIsFine) return null;
    if (!response.ok)
      throw new LoadFault(`${url}: HTTP ${response.status} ${response.statusText}`.trim(), key);
    // The length on the wire, which for a compressed answer is not the body's; a guess.
    download.total = Number(response.headers.get("Content-Length")) || 0;
    return await readBody(response, download, restartTimer);
  } catch (error) {
    if (error instanceof LoadFault) throw error;
    if (silent)
      throw new LoadFault(`${url}: no answer from the server in ${SILENCE_LIMIT_MS / 1000} s`, key);
    throw new LoadFault(`${url} could not be fetched: the server cannot be reached, or it ` +
                        "does not let this site read it (cross-origin)", key);
  } finally {
    clearTimeout(timer);
  }
}
