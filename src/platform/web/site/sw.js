// The site's service worker: it keeps the site's own files from the first visit on and
// answers from them first, so the game plays with the network gone; the other files of this
// site (a mod's archives, a level) come from the network and are kept for when it is gone;
// other sites' files pass by untouched. The build writes SITE_VERSION, a hash of the files,
// and SITE_FILES: a changed site is a changed worker, which the browser installs, and it
// takes over at once and drops the old copy, so the next load is the new site.
const PREFIX = "quibbet-";
const CACHE = PREFIX + "@SITE_VERSION@";
// "./" too: the address a player starts from, and the manifest's start.
const FILES = ["./", ..."@SITE_FILES@".split(" ")];

self.addEventListener("install", (event) => {
  // "no-cache": the server, not the browser's own cache, says what this version's files are.
  const requests = FILES.map((file) => new Request(file, { cache: "no-cache" }));
  event.waitUntil(caches.open(CACHE)
                    .then((cache) => cache.addAll(requests))
                    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
                    .then((names) => Promise.all(names
                      .filter((name) => name.startsWith(PREFIX) && name !== CACHE)
                      .map((name) => caches.delete(name))))
                    .then(() => self.clients.claim()));
});

// A file the site was not built with: the network's, kept for when the network is gone.
async function fromNetwork(request) {
  const cache = await caches.open(CACHE);
  try {
    const response = await fetch(request);
    if (response.status === 200) await cache.put(request, response.clone());
    return response;
  } catch (error) {
    const kept = await cache.match(request);
    if (kept) return kept;
    throw error;
  }
}

async function answer(request) {
  // The page's address carries the game's options (?seed=...): one page whatever they are.
  const kept = await caches.match(request, { cacheName: CACHE,
                                             ignoreSearch: request.mode === "navigate" });
  return kept || fromNetwork(request);
}

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method === "GET" && new URL(request.url).origin === self.location.origin)
    event.respondWith(answer(request));
});
