#!/usr/bin/env bash
# Builds the game and plays it; arguments go to the game (try --window, --help).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh"
build="${BUILD_DIR:-$root/build}"
exec "$build/src/quibbet" --data "$build/data" "$@"
