// Offline play: the site's service worker (sw.js) keeps the site after the first visit, where
// the browser allows one (not over plain http from another machine, nor in some private
// windows); without it the game plays the same, online.
import { showNote } from "./overlays.js";

// Called once the game's files are in, so that the worker's copying holds none of them up.
export function keepOffline() {
  const workers = navigator.serviceWorker;
  if (!workers) return;
  // A worker of an earlier visit answers this page: a new one taking over is a new version.
  const earlier = workers.controller !== null;
  workers.addEventListener("controllerchange", () => {
    if (earlier) showNote("A new version of the game is here: reload the page to play it.");
  });
  workers.register("sw.js").catch((error) => console.warn(`No offline play: ${error.message}`));
}
