#!/usr/bin/env bash
# Remakes the pictures of the README from a real game played by the built-in pilot: three
# screenshots (intro, a busy moment of the game, credits) and an animated clip of the fight.
# Usage: scripts/make-docs.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
game="$build/src/quibbet"
convert=/usr/bin/convert  # ImageMagick's own, whatever else is first on PATH
[[ -x "$convert" ]] || { echo "make-docs: ImageMagick is missing (apt-get install imagemagick)" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Seed 4 plays the same game every time (its credits start at global frame 4135); global
# frames count from the start of the intro.
clip=$(seq -s, 2900 2 3140)
"$game" --headless --turbo --autoplay --seed 4 --data "$build/data" --record "$work" \
  --record-frames "160,2950,4200,$clip" > /dev/null

mkdir -p "$root/docs/screenshots"
cp "$work/frame_000160.png" "$root/docs/screenshots/intro.png"
cp "$work/frame_002950.png" "$root/docs/screenshots/game.png"
cp "$work/frame_004200.png" "$root/docs/screenshots/credits.png"
mapfile -t frames < <(for f in ${clip//,/ }; do printf '%s/frame_%06d.png\n' "$work" "$f"; done)
"$convert" -delay 10 -loop 0 "${frames[@]}" -resize 50% -layers Optimize "$root/docs/gameplay.gif"
ls -l "$root/docs/gameplay.gif" "$root/docs/screenshots"
