#!/usr/bin/env bash
# Tests the Debian package as a player meets it: checks that every library the programs
# link comes from a package the .deb depends on, installs it with apt-get (which brings
# those packages), plays the installed game from an empty folder (headless, and through SDL
# on its dummy video driver), and looks for its manual page, desktop entry and copyright
# file. Needs root.
#
#   scripts/test-deb.sh [--keep] [PACKAGE.deb]  # on this machine; the package is removed
#                                               # again unless it was there before or --keep
#   scripts/test-deb.sh --fresh [PACKAGE.deb]   # in a fresh Debian 12 (minbase) made with
#                                               # debootstrap; the base is kept in
#                                               # build-deb/bookworm-base (or $FRESH_BASE)
#
# Without a package, scripts/build-deb.sh builds one first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
keep=0
fresh=0
deb=""
for arg in "$@"; do
  case "$arg" in
    --keep) keep=1 ;;
    --fresh) fresh=1 ;;
    -*) echo "usage: $0 [--keep | --fresh] [PACKAGE.deb]" >&2; exit 2 ;;
    *) deb="$arg" ;;
  esac
done
[[ -n "$deb" ]] || deb="$("$root/scripts/build-deb.sh" | tail -n 1)"
deb="$(realpath "$deb")"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

work="$(mktemp -d)"
cleanups=()
cleanup() {
  for ((i = ${#cleanups[@]} - 1; i >= 0; i--)); do eval "${cleanups[i]}" || true; done
  $sudo rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "test-deb: $*" >&2
  exit 1
}
# apt's chatter goes to a log that is shown only when apt fails.
quietly() {
  "$@" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "$* failed"; }
}

echo "== $deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Depends\|Installed-Size\): /  \1: /p'

# ---- Dependencies: each library a program links is owned by a package in Depends ----------
depends="$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/^ *\([^ ]*\).*/\1/')"
dpkg-deb -x "$deb" "$work/package"
# The package that owns a file, whichever of /lib and /usr/lib dpkg knows it under.
owner_of() {
  local path="$1"
  dpkg -S "$path" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null || dpkg -S "/usr$path" 2>/dev/null
}
for program in quibbet mpk pcxconv; do
  binary="$work/package/usr/bin/$program"
  for lib in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    # Where the dynamic loader finds it here, so another architecture's copy does not count.
    path="$(ldd "$binary" | awk -v lib="$lib" '$1 == lib { print $3 }')"
    [[ -n "$path" ]] || fail "$program links $lib, which is not installed here"
    owner="$(owner_of "$(realpath -s "$path")" | head -n 1 | cut -d: -f1)"
    [[ -n "$owner" ]] || fail "no package owns $path"
    grep -qx "$owner" <<<"$depends" || fail "$program links $lib from $owner, which Depends lacks"
  done
done
echo "  every linked library comes from a package in Depends"

# ---- Install as a player would ------------------------------------------------------------
# `target` runs a command on the system the package goes to.
if [[ $fresh -eq 1 ]]; then
  base="${FRESH_BASE:-$root/build-deb/bookworm-base}"
  if [[ ! -x "$base/bin/sh" ]]; then
    command -v debootstrap >/dev/null || quietly $sudo apt-get install -y -qq debootstrap
    echo "  making a minimal Debian 12 in $base (once)"
    $sudo rm -rf "$base.partial"
    quietly $sudo debootstrap --variant=minbase bookworm "$base.partial"
    $sudo mv "$base.partial" "$base"
  fi
  system="$work/system"
  $sudo cp -a "$base" "$system"
  $sudo cp /etc/resolv.conf "$system/etc/resolv.conf"
  $sudo mount -t proc proc "$system/proc"
  cleanups+=("$sudo umount '$system/proc'")
  $sudo cp "$deb" "$system/tmp/"
  target() { $sudo chroot "$system" "$@"; }
  quietly target apt-get update -qq
  quietly target apt-get install -y -qq "/tmp/$(basename "$deb")"
  echo "  installed into a fresh Debian 12"
  host_path() { echo "$system$1"; }
else
  installed_before=0
  dpkg-query -W -f='${Status}' quibbet 2>/dev/null | grep -q "install ok installed" &&
    installed_before=1
  target() { $sudo "$@"; }
  quietly target apt-get install -y -qq "$deb"
  if [[ $keep -eq 0 && $installed_before -eq 0 ]]; then
    cleanups+=("$sudo apt-get remove -y -qq quibbet >/dev/null")
  fi
  host_path() { echo "$1"; }
fi

target quibbet --version | head -n 1
target test -f /usr/share/man/man6/quibbet.6.gz || fail "no manual page"
target test -f /usr/share/doc/quibbet/copyright || fail "no copyright file"
entry="$(target dpkg -L quibbet | grep '/applications/.*\.desktop$')" || fail "no desktop entry"
desktop-file-validate "$(host_path "$entry")" || fail "$entry is not a valid desktop entry"

# ---- Play from an empty folder, with nothing in the user's data folders ------------------
target mkdir -p /tmp/quibbet-play /tmp/quibbet-home
play() {
  target env -C /tmp/quibbet-play HOME=/tmp/quibbet-home XDG_DATA_HOME= XDG_DATA_DIRS= "$@"
}
summary="$(play quibbet --headless --turbo --seed 1 --max-frames 950 --summary -)" ||
  fail "the installed game failed headless"
grep -q '"name":"intro","frames":901,"end":"finished"' <<<"$summary" ||
  fail "unexpected run: $summary"
echo "  headless: $summary"
summary="$(play SDL_VIDEODRIVER=dummy quibbet --turbo --max-frames 30 --summary -)" ||
  fail "the installed game failed on SDL's dummy video driver"
echo "  SDL (dummy video): $summary"
[[ $fresh -eq 1 ]] || target rm -rf /tmp/quibbet-play /tmp/quibbet-home
echo "test-deb: passed"
