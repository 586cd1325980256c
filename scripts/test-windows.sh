#!/usr/bin/env bash
# Builds the Windows programs and tests them under Wine on Xvfb, in a fresh Wine prefix: the
# cross-built unit tests, then whole runs of quibbet.exe held against the Linux build's (an
# autopilot game, recorded frames, scripted Escape, Space, close and minimize, a missing
# archive, --headless without a display) and the zip's contents with the licence files.
#
#   scripts/test-windows.sh [win32|win64]
#
# Without an argument: win32 (wine32, WINEARCH=win32) where this machine runs 32-bit programs,
# win64 (wine64) where it cannot, with a note saying so. Only the tested target is built and
# only its Wine installed. Any failure fails the script.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux_build="${LINUX_BUILD_DIR:-$root/build}"
jobs="${JOBS:-2}"
started=$SECONDS

log() { echo "test-windows: $*" >&2; }
elapsed() { echo "$((SECONDS - started)) s"; }

# ---- Which build -------------------------------------------------------------------------
# A 93-byte i386 program that only exits: whether this kernel runs 32-bit programs at all
# (some containers and sandboxes do not), asked before wine32 is installed for nothing.
runs_32bit_programs() {
  local probe result=0
  probe="$(mktemp)"
  /usr/bin/python3 - "$probe" <<'EOF'
import struct, sys
code = bytes.fromhex("b801000000" "31db" "cd80")  # exit(0) through int 0x80
base, start = 0x08048000, 52 + 32
header = b"\x7fELF\x01\x01\x01" + bytes(9) + struct.pack(
    "<HHIIIIIHHHHHH", 2, 3, 1, base + start, 52, 0, 0, 52, 32, 1, 40, 0, 0)
size = start + len(code)
segment = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
with open(sys.argv[1], "wb") as f:
    f.write(header + segment + code)
EOF
  chmod +x "$probe"
  "$probe" 2>/dev/null || result=1
  rm -f "$probe"
  return $result
}

target="${1:-}"
also_build_win32=0
if [[ -z "$target" ]]; then
  if runs_32bit_programs; then
    target=win32
  else
    target=win64
    also_build_win32=1
    log "NOTE: this machine runs no 32-bit programs, so wine32 cannot start here: the 64-bit"
    log "NOTE: build is the one run. The 32-bit build is made and its files checked, and it is"
    log "NOTE: run where 32-bit programs run."
  fi
fi
case "$target" in
  win32) wine=/usr/lib/wine/wine arch=win32 wine_packages=(wine wine32:i386) ;;
  win64) wine=/usr/lib/wine/wine64 arch=win64 wine_packages=(wine wine64) ;;
  *)
    log "unknown target '$target' (win32 or win64)"
    exit 2
    ;;
esac

# ---- Packages ------------------------------------------------------------------------------
install_wine() {
  local sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  local missing=() pkg
  for pkg in "${wine_packages[@]}" xvfb xauth; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$pkg")
  done
  [[ ${#missing[@]} -eq 0 ]] && return
  log "installing ${missing[*]}"
  if [[ $arch == win32 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install_wine
"$wine" --version >/dev/null 2>&1 || {
  log "$wine does not start on this machine"
  exit 1
}
log "Wine ready after $(elapsed)"
build="$root/build-$target"
bin="$build/bin"

# ---- Build ---------------------------------------------------------------------------------
JOBS="$jobs" LINUX_BUILD_DIR="$linux_build" "$root/scripts/build-windows.sh" "$target"
# The Linux program gives every reference run.
cmake --build "$linux_build" --target quibbet -j"$jobs" >/dev/null
linux_quibbet="$linux_build/src/quibbet"
data="$linux_build/data"
log "built after $(elapsed)"

# ---- Wine and the desktop ------------------------------------------------------------------
scratch="$(mktemp -d)"
export WINEPREFIX="$scratch/prefix" WINEARCH="$arch" WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is made: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Boxes print to stderr and never wait for a click (see docs/WINDOWS.md).
export QUIBBET_BOXES=stderr
xvfb_pid=""
cleanup() {
  WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s "$scratch/display" ]] && break
  sleep 0.1
done
[[ -s "$scratch/display" ]] || {
  log "Xvfb did not start"
  exit 1
}
export DISPLAY=":$(cat "$scratch/display")"
# Without a window manager Wine waits for one on every window it hides; an unmanaged window
# is what a full-screen game has anyway.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
# The new prefix's services go on starting behind reg's back: let them finish first.
wineserver -w
log "Wine prefix ($arch) and Xvfb $DISPLAY ready after $(elapsed)"

passed=0
failed=0
retried=0
# Wine now and then fails to start a process or loses one at its start, a few times in a
# hundred runs; the game and the tools are deterministic, so a check that fails is run once
# more, and the log says so. Failing twice fails.
check() {  # check NAME COMMAND...: runs one end-to-end check and counts it
  local name="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
    log "ok: $name"
    return
  fi
  kill -0 "$xvfb_pid" 2>/dev/null || log "Xvfb $DISPLAY is no longer running"
  log "failed once, trying again: $name"
  if "$@"; then
    passed=$((passed + 1))
    retried=$((retried + 1))
    log "ok on the second try: $name"
  else
    failed=$((failed + 1))
    log "FAILED: $name"
  fi
}

# ---- Unit tests ----------------------------------------------------------------------------
# Cases that hold Linux's own behaviour, not the engine's, and so are left out here:
excluded=(
  # The data search, and the player's mods found by it, follow the XDG rules and POSIX paths.
  'DataSearch.*'
  LevelCommand.ThePlayersModsAreListedAndPlayedByName
  # Windows removes no file that is open, and makes no symbolic links without privileges.
  FileLoadTest.ResidentArchiveStaysOpenAfterLoading
  PackfileTest.SameNameTwiceGivesSameSlotWithoutReadingTheFileAgain
  PackfileTest.NameInOtherLetterCaseTakesASecondSlotOnTheSameFile
  # Windows file names ignore letter case, so two names in other cases are one file.
  ResourceTest.LowerCasePackageDoesNotFindTheResidentSlot
  ToolsTest.MpkExtractsEveryEntryOrTheNamedOnes
  # Pillow and ImageMagick are Linux programs.
  PcxTest.PicturesWrittenByPillowMatchTheirPngSources
  PcxTest.PicturesWrittenByImageMagickMatchTheirPngSources
  ToolsTest.PcxconvFromPngIsReadBackByPillowIdentically
  # oggenc, which makes their Vorbis files, is a Linux program.
  'Vorbis.*'
  SoundBankTest.ReadsOggBeforeWavAndNamesEachSoundItCannotPlay
  SoundBankTest.MusicFoundDamagedAsItPlaysIsNamedOnceAndFallsSilent
)
filter="-$(
  IFS=:
  echo "${excluded[*]}"
)"
rm -rf "$build/tests/tmp"
unit_tests() {  # a second try runs only the cases that failed the first
  local log="$scratch/unit_tests.log" again
  if [[ -s $log ]]; then
    again="$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_/]*\.[A-Za-z0-9_/]*\).*/\1/p' "$log" | sort -u |
      paste -sd: -)"
    [[ -n $again ]] && filter="$again"
  fi
  (cd "$build/tests" && "$wine" "$bin/quibbet_tests.exe" --gtest_brief=1 --gtest_filter="$filter") \
    >"$log" 2>&1
  local code=$?
  grep -E '^\[  (FAILED|PASSED) ' "$log" >&2 || tail -n 20 "$log" >&2
  [[ $code -eq 0 ]] || grep -A12 ': Failure$' "$log" | head -n 80 >&2
  return $code
}
check "unit tests (quibbet_tests.exe)" unit_tests
log "unit tests done after $(elapsed)"

# ---- Whole runs against the Linux build ----------------------------------------------------
runs="$scratch/runs"
mkdir -p "$runs"

same_summary() {  # same_summary NAME ARGS...: the Win32 back end and Linux headless agree
  local name="$1"
  shift
  "$linux_quibbet" --headless --turbo --data "$data" --summary "$runs/$name.linux.json" "$@" \
    >/dev/null 2>&1 || true
  "$wine" "$bin/quibbet.exe" --turbo --data "$data" --summary "$runs/$name.win.json" "$@" \
    >/dev/null 2>"$runs/$name.err" || true
  if ! cmp -s "$runs/$name.linux.json" "$runs/$name.win.json"; then
    log "$name: Linux $(cat "$runs/$name.linux.json" 2>/dev/null)"
    log "$name: Windows $(cat "$runs/$name.win.json" 2>/dev/null)"
    return 1
  fi
  log "$name: $(cat "$runs/$name.win.json")"
}

autopilot_wins() {
  same_summary autopilot --autoplay --seed 4 &&
    grep -q '"ending":"won"' "$runs/autopilot.win.json"
}
check "autopilot game with seed 4 ends won as on Linux" autopilot_wins

printf '950 key down 27\n' >"$runs/escape.txt"
printf '1000 key down 32\n1001 key up 32\n' >"$runs/space.txt"
printf '3 window close\n' >"$runs/close.txt"
printf '2 window minimize\n40 window restore\n1500 key down 27\n' >"$runs/minimize.txt"
for script in escape space close minimize; do
  check "scripted $script as on Linux" same_summary "$script" --seed 4 --input "$runs/$script.txt"
done

# The player's input as the window handed it, saved and replayed on Linux: the same game.
replay_on_linux() {
  printf '%s\n' '900 mouse move 30 300' '905 mouse left down' '1000 key down 32' '1001 key up 32' \
    '1100 mouse left up' '1500 key down 27' >"$runs/played.txt"
  "$wine" "$bin/quibbet.exe" --turbo --seed 7 --data "$data" --input "$runs/played.txt" \
    --save-input "$runs/saved.txt" --summary "$runs/played.win.json" >/dev/null 2>&1 || true
  "$linux_quibbet" --headless --turbo --data "$data" --input "$runs/saved.txt" \
    --summary "$runs/replayed.linux.json" >/dev/null 2>&1 || true
  if grep -q '^905 mouse left down$' "$runs/saved.txt" &&
    cmp -s "$runs/played.win.json" "$runs/replayed.linux.json"; then
    log "replay: $(grep -vc '^#' "$runs/saved.txt") events saved, the same summary on Linux"
    return 0
  fi
  log "replay: Windows $(cat "$runs/played.win.json" 2>/dev/null)"
  log "replay: Linux $(cat "$runs/replayed.linux.json" 2>/dev/null)"
  head -n 20 "$runs/saved.txt" >&2
  return 1
}
check "--save-input of a Windows run replays the same game on Linux" replay_on_linux

same_frames() {
  mkdir -p "$runs/frames.linux" "$runs/frames.win"
  "$linux_quibbet" --headless --turbo --autoplay --seed 4 --data "$data" \
    --record "$runs/frames.linux" --record-every 97 >/dev/null 2>&1
  "$wine" "$bin/quibbet.exe" --turbo --autoplay --seed 4 --data "$data" \
    --record "$runs/frames.win" --record-every 97 >/dev/null 2>"$runs/frames.err"
  local count linux_count
  count="$(find "$runs/frames.win" -name '*.png' | wc -l)"
  linux_count="$(find "$runs/frames.linux" -name '*.png' | wc -l)"
  if [[ $count -gt 40 ]] && diff -r "$runs/frames.linux" "$runs/frames.win" >/dev/null; then
    log "frames: $count recorded PNG files byte for byte the same"
    return 0
  fi
  log "frames: $linux_count on Linux, $count on Windows; differing:"
  diff -rq "$runs/frames.linux" "$runs/frames.win" 2>&1 | head -n 5 >&2 || true
  head -n 20 "$runs/frames.err" >&2
  return 1
}
check "recorded frames identical to Linux" same_frames

same_sound() {
  "$linux_quibbet" --headless --turbo --autoplay --seed 4 --data "$data" --max-frames 3000 \
    --record-audio "$runs/sound.linux.wav" >/dev/null 2>&1
  "$wine" "$bin/quibbet.exe" --turbo --autoplay --seed 4 --data "$data" --max-frames 3000 \
    --record-audio "$runs/sound.win.wav" >/dev/null 2>"$runs/sound.err"
  if [[ -s "$runs/sound.win.wav" ]] && cmp -s "$runs/sound.linux.wav" "$runs/sound.win.wav"; then
    log "sound: $(stat -c %s "$runs/sound.win.wav") bytes of WAV the same as on Linux"
    return 0
  fi
  log "sound: the recordings differ ($(stat -c %s "$runs/sound.linux.wav" "$runs/sound.win.wav" \
    2>/dev/null | paste -sd' ' -))"
  head -n 20 "$runs/sound.err" >&2
  return 1
}
check "recorded sound identical to Linux" same_sound

missing_archive() {
  mkdir -p "$runs/empty"
  local code=0
  "$wine" "$bin/quibbet.exe" --turbo --data "$runs/empty" >/dev/null 2>"$runs/missing.err" ||
    code=$?
  if [[ $code -eq 1 ]] && grep -q '^I/O ERROR$' "$runs/missing.err" &&
    grep -q '^Packfile not found$' "$runs/missing.err"; then
    return 0
  fi
  log "missing archive: exit $code, standard error:"
  head -n 20 "$runs/missing.err" >&2
  return 1
}
check "missing archive: I/O ERROR box on stderr, exit 1" missing_archive

headless_needs_no_display() {
  env -u DISPLAY "$wine" "$bin/quibbet.exe" --headless --turbo --autoplay --seed 4 \
    --data "$data" --summary "$runs/headless.json" >/dev/null 2>&1 &&
    cmp -s "$runs/headless.json" "$runs/autopilot.linux.json"
}
check "--headless runs without any display" headless_needs_no_display

same_listing() {
  "$linux_build/tools/mpk" list "$data/SPRITES.MPK" >"$runs/list.linux"
  "$wine" "$bin/mpk.exe" list "$data/SPRITES.MPK" >"$runs/list.win" 2>/dev/null
  cmp -s "$runs/list.linux" "$runs/list.win"
}
check "mpk.exe lists the archive as mpk does" same_listing

zip_contents() {
  local zip
  zip="$(ls "$build"/quibbet-*-"$target".zip)"
  /usr/bin/python3 - "$zip" "$root" <<'EOF'
import os, sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
members = {n.split("/", 1)[-1]: n for n in archive.namelist()}
want = {"quibbet.exe", "mpk.exe", "pcxconv.exe", "ddlink.dll",
        "SPRITES.MPK", "FONTS.MPK", "TEXTS.MPK", "SOUNDS.MPK"}
# The licence files, as the source tree has them (the data's names fonts/OFL-1.1.txt).
licences = {"LICENSE": "LICENSE", "LICENSE-DATA.md": "assets/LICENSE.md",
            "fonts/OFL-1.1.txt": "assets/fonts/OFL-1.1.txt"}
missing = sorted((want | set(licences)) - set(members))
if missing:
    sys.exit(f"missing from the zip: {missing}")
for name, source in licences.items():
    with open(os.path.join(sys.argv[2], source), "rb") as f:
        if archive.read(members[name]) != f.read():
            sys.exit(f"{name} in the zip is not {source}")
EOF
}
check "zip holds the programs, ddlink.dll, the archives and the licence files" zip_contents

# ---- The 32-bit build where it cannot run ---------------------------------------------------
# What can be seen without running it: 32-bit window programs, and quibbet.exe taking the
# three presentation calls from ddlink.dll under their plain names.
win32_files() {
  local dump="i686-w64-mingw32-objdump" dir="$root/build-win32/bin" program
  for program in quibbet mpk pcxconv; do
    [[ "$("$dump" -f "$dir/$program.exe")" == *"file format pei-i386"* ]] || return 1
  done
  local headers imports exports name
  headers="$("$dump" -p "$dir/quibbet.exe")"
  [[ $headers == *"(Windows GUI)"* ]] || return 1
  imports="$(sed -n '/DLL Name: ddlink.dll/,/DLL Name: [^d]/p' <<<"$headers")"
  exports="$("$dump" -p "$dir/ddlink.dll" | sed -n '/Ordinal\/Name Pointer/,/^$/p')"
  for name in GetDefaultDirectDraw DirectDrawBlit CloseDirectDraw; do
    grep -qw "$name" <<<"$imports" && grep -qw "$name" <<<"$exports" || return 1
  done
  log "win32: PE32 programs; quibbet.exe imports the three calls that ddlink.dll exports"
}
if [[ $also_build_win32 -eq 1 ]]; then
  JOBS="$jobs" LINUX_BUILD_DIR="$linux_build" "$root/scripts/build-windows.sh" win32
  check "32-bit build made, its programs and ddlink.dll as they should be" win32_files
fi

log "finished after $(elapsed)"
log "checked the $target build"
echo "windows: $passed passed ($retried on a second try), $failed failed"
[[ $failed -eq 0 ]]
