#!/usr/bin/env bash
# Builds the Debian package of the game (programs, data, desktop entry, icon, metadata,
# manual page and copyright file under /usr): a Release build into build-deb/ (or
# $BUILD_DIR), then CPack. Prints the package's path last.
#
#   scripts/build-deb.sh        # -> build-deb/quibbet_VERSION_ARCH.deb
#   scripts/test-deb.sh         # installs that package and plays it (needs root)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build-deb}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQUIBBET_TESTS=OFF -DQUIBBET_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/quibbet_*.deb
cpack --config "$build/CPackConfig.cmake" -B "$build" >/dev/null
ls "$build"/quibbet_*.deb
