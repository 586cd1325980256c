#!/usr/bin/env bash
# Cross-builds the game for Windows with Debian's mingw-w64: quibbet.exe, mpk.exe, pcxconv.exe,
# ddlink.dll and the unit tests, then the zip with the three archives (CPack).
#
#   scripts/build-windows.sh [win32] [win64]        (no argument: win32)
#
# Each target builds into build-win32/ or build-win64/. The archives are the ones the Linux
# build makes in build/data (LINUX_BUILD_DIR), whose game_data target is built when they are
# missing: making them runs our tools, which a cross build cannot. libpng is built from
# Debian's own source package, GoogleTest from /usr/src/googletest, both into BUILD/deps.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${JOBS:-2}"
linux_build="${LINUX_BUILD_DIR:-$root/build}"
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(win32)

packages=(cmake make dpkg-dev googletest libcli11-dev libz-mingw-w64-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64)

log() { echo "build-windows: $*" >&2; }

install_packages() {
  local missing=() pkg
  for pkg in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$pkg")
  done
  [[ ${#missing[@]} -eq 0 ]] && return
  log "installing ${missing[*]}"
  local sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

linux_archives() {
  local archive
  for archive in SPRITES FONTS TEXTS; do
    [[ -f "$linux_build/data/$archive.MPK" ]] || break
    [[ $archive == TEXTS ]] && return
  done
  log "making the archives in $linux_build"
  "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$linux_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$linux_build" --target game_data -j"$jobs" >/dev/null
}

# Debian's libpng source, patches applied, through apt with a list of its own: the system's
# apt setup stays as it is.
fetch_libpng() {
  local dir="$1"
  [[ -n "$(compgen -G "$dir/libpng1.6-*/CMakeLists.txt")" ]] && return
  mkdir -p "$dir/apt/lists/partial"
  local list="$dir/apt/sources.list" keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main" >"$list"
  local apt=(apt-get -qq -o Dir::Etc::SourceList="$list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$dir/apt/lists" -o APT::Sandbox::User=root)
  "${apt[@]}" update
  (cd "$dir" && "${apt[@]}" source libpng1.6 >/dev/null)
}

# libpng, GoogleTest and CLI11's headers for one target, built once into DEPS.
build_deps() {
  local triple="$1" toolchain="$2" deps="$3"
  local stamp="$deps/.complete"
  [[ -f "$stamp" ]] && return
  log "building libpng and GoogleTest for $triple"
  fetch_libpng "$deps/src"
  local png_src
  png_src="$(dirname "$(compgen -G "$deps/src/libpng1.6-*/CMakeLists.txt" | head -1)")"
  local common=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$deps" -DQUIBBET_WINDOWS_DEPS="$deps")
  cmake -S "$png_src" -B "$deps/build/libpng" "${common[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" \
    -DZLIB_INCLUDE_DIR="/usr/$triple/include" >/dev/null
  cmake --build "$deps/build/libpng" -j"$jobs" >/dev/null
  cmake --install "$deps/build/libpng" >/dev/null
  cmake -S /usr/src/googletest -B "$deps/build/googletest" "${common[@]}" >/dev/null
  cmake --build "$deps/build/googletest" -j"$jobs" >/dev/null
  cmake --install "$deps/build/googletest" >/dev/null
  # CLI11 is headers and a relocatable package file: a copy in the target's tree serves.
  mkdir -p "$deps/include" "$deps/share/cmake"
  cp -r /usr/include/CLI "$deps/include/"
  cp -r /usr/share/cmake/CLI11 "$deps/share/cmake/"
  touch "$stamp"
}

build_target() {
  local target="$1" triple
  case "$target" in
    win32) triple=i686-w64-mingw32 ;;
    win64) triple=x86_64-w64-mingw32 ;;
    *)
      log "unknown target '$target' (win32 or win64)"
      exit 2
      ;;
  esac
  local build="$root/build-$target"
  local toolchain="$root/cmake/toolchains/$triple.cmake"
  build_deps "$triple" "$toolchain" "$build/deps"
  log "building $build"
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DQUIBBET_WINDOWS_DEPS="$build/deps" -DQUIBBET_WINDOWS_DATA="$linux_build/data" >/dev/null
  cmake --build "$build" -j"$jobs"
  (cd "$build" && cpack -G ZIP >/dev/null)
  log "made $(ls "$build"/quibbet-*-"$target".zip)"
}

install_packages
linux_archives
for target in "${targets[@]}"; do
  build_target "$target"
done
