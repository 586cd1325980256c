#!/usr/bin/env bash
# Tests the browser version in Debian's Chromium against the desktop program: builds the site
# (scripts/build-web.sh) and the native build when missing, installs puppeteer-core from
# tests/web/package-lock.json, runs the browser tests in tests/web, then prints the site's figures
# (tests/web/probe.mjs: sizes, time to the first frame, frame interval, work per frame).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
native="${BUILD_DIR:-$root/build}"
web="${WEB_BUILD_DIR:-$root/build-web}"
start=$SECONDS

[[ -x "$native/src/quibbet" && -x "$native/tools/mpk" ]] || "$root/scripts/build.sh"
"$root/scripts/build-web.sh" >/dev/null
echo "test-web: site built in $((SECONDS - start)) s"
if ! command -v npm >/dev/null; then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm
fi
(cd "$root/tests/web" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)

export QUIBBET_SITE="$web/site" QUIBBET_NATIVE="$native"
node --test --test-reporter=tap "$root/tests/web/web_test.mjs" "$root/tests/web/levels_test.mjs" \
  "$root/tests/web/loading_test.mjs" "$root/tests/web/screens_test.mjs" \
  "$root/tests/web/editor_test.mjs" "$root/tests/web/offline_test.mjs" \
  "$root/tests/web/serve_test.mjs" "$root/tests/web/gamepad_test.mjs"
node "$root/tests/web/probe.mjs"
echo "test-web: passed in $((SECONDS - start)) s"
