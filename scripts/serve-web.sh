#!/usr/bin/env bash
# Serves the browser version (scripts/build-web.sh makes it) on 127.0.0.1 and prints its
# address, with the headers a host should send (scripts/serve_web.py). Usage:
# scripts/serve-web.sh [PORT] (default 8000; 0 picks a free one).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
site="${WEB_BUILD_DIR:-$root/build-web}/site"
port="${1:-8000}"
[[ -f "$site/index.html" ]] || { echo "serve-web: no site in $site; run scripts/build-web.sh" >&2; exit 1; }
exec /usr/bin/python3 "$root/scripts/serve_web.py" "$site" "$port"
