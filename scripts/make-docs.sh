#!/usr/bin/env bash
# Remakes the pictures of the README from a real game played by the built-in pilot: three
# screenshots (intro, a busy moment of the game, credits), an animated clip of the fight, and
# a video with sound of the boss's arrival (with ffmpeg, when it is installed).
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
video_start=2780 video_end=3140  # the boss arrives at 2800
video=$(seq -s, "$video_start" "$video_end")
"$game" --headless --turbo --autoplay --seed 4 --data "$build/data" --record "$work" \
  --record-frames "160,2950,4200,$clip,$video" --record-audio "$work/sound.wav" > /dev/null

mkdir -p "$root/docs/screenshots"
cp "$work/frame_000160.png" "$root/docs/screenshots/intro.png"
cp "$work/frame_002950.png" "$root/docs/screenshots/game.png"
cp "$work/frame_004200.png" "$root/docs/screenshots/credits.png"
mapfile -t frames < <(for f in ${clip//,/ }; do printf '%s/frame_%06d.png\n' "$work" "$f"; done)
"$convert" -delay 10 -loop 0 "${frames[@]}" -resize 50% -layers Optimize "$root/docs/gameplay.gif"

# The video: the frames at 20 a second and the sound of the same frames, 2,205 samples each.
if command -v ffmpeg >/dev/null; then
  ffmpeg -loglevel error -y -framerate 20 -start_number "$video_start" -i "$work/frame_%06d.png" \
    -ss "$(awk "BEGIN { print $video_start / 20 }")" \
    -t "$(awk "BEGIN { print ($video_end - $video_start + 1) / 20 }")" \
    -i "$work/sound.wav" -vf scale=400:300 -c:v libvpx-vp9 -b:v 0 -crf 38 -row-mt 1 \
    -c:a libopus -b:a 64k -shortest "$root/docs/gameplay.webm"
else
  echo "make-docs: ffmpeg is missing (apt-get install ffmpeg): the video is not remade" >&2
fi
ls -l "$root/docs/gameplay.gif" "$root/docs/gameplay.webm" "$root/docs/screenshots"
