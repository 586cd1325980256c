#!/usr/bin/env bash
# Builds the browser version of the game into build-web/site/ (or $WEB_BUILD_DIR/site): our own
# page, quibbet.js and quibbet.wasm, the four archives and the licence files, a static folder
# any web server can host. Installs what is missing first: Debian's Emscripten, and the native
# build whose tools make the archives. scripts/serve-web.sh serves the folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${WEB_BUILD_DIR:-$root/build-web}"
native="${BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh"
"$root/scripts/install-deps.sh" "$root/scripts/packages-web.txt"
if [[ ! -f "$native/data/SOUNDS.MPK" || ! -f "$native/mods/morning/LEVELS.MPK" ]]; then
  cmake -S "$root" -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$native" -j"$(nproc)" --target game_data mod_morning
fi
# Debian's Emscripten runs its JavaScript tools on the system's Node.js modules.
export NODE_PATH=/usr/share/nodejs
# Built for size: every byte of the program is on the player's first load, and the game's
# frames take a small part of their period even so.
emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DQUIBBET_WEB_DATA="$native/data" -DQUIBBET_WEB_MODS="$native/mods" >/dev/null
cmake --build "$build" -j"$(nproc)"
ls -l "$build/site"
# Compressed copies beside the files, for a server that sends them as they are.
"$root/scripts/compress-site.sh" "$build/site"
