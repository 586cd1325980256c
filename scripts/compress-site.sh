#!/usr/bin/env bash
# Writes NAME.gz (and NAME.br when Debian's brotli is installed) beside each file of the site
# that is worth it, the gzip copies by zopfli where it is installed, so that a server can send them as they are (scripts/serve_web.py does).
# Usage: scripts/compress-site.sh SITE. Copies are reproducible (no name or time inside) and
# carry their original's time, so only files changed since the last run are compressed again;
# copies of files that are gone, too small, or that compression does not shrink are removed.
set -euo pipefail
site="$1"
# brotli's quality 10 takes eight times as long as 9 on the wasm (5 s against 0.6 s on this
# 2-core machine) for a tenth less; 11 twice that again.
brotli_quality=9
have_brotli=0
command -v brotli >/dev/null && have_brotli=1
# zopfli writes gzip that any browser reads, 5 to 10 % smaller than gzip -9: what a browser
# gets over plain http, which is never brotli. Five iterations make almost all of the
# default fifteen's saving in a third of the time.
gzip_command=(gzip -9 -n -c)
command -v zopfli >/dev/null && gzip_command=(zopfli --i5 -c)

# keep COPY ORIGINAL: the copy, written to COPY.new, takes its place whole (a copy cut short by
# an interrupted run would otherwise look current); one that saves less than a tenth of its
# original is not worth the request's header, so it goes.
keep() {
  if (($(stat -c %s "$1.new") * 10 > $(stat -c %s "$2") * 9)); then
    rm -f "$1.new" "$1"
  else
    touch -r "$2" "$1.new"
    mv -f "$1.new" "$1"
  fi
}

compress() {
  local file="$1"
  if (($(stat -c %s "$file") < 1024)); then
    rm -f "$file.gz" "$file.br"
    return
  fi
  if [[ ! -e "$file.gz" || "$file" -nt "$file.gz" ]]; then
    "${gzip_command[@]}" "$file" >"$file.gz.new"
    keep "$file.gz" "$file"
  fi
  if ((have_brotli)) && [[ ! -e "$file.br" || "$file" -nt "$file.br" ]]; then
    brotli -f -q "$brotli_quality" -o "$file.br.new" "$file"
    keep "$file.br" "$file"
  fi
}

find "$site" -type f -name '*.new' -delete
find "$site" -type f \( -name '*.gz' -o -name '*.br' \) -print0 |
  while IFS= read -r -d '' copy; do [[ -e "${copy%.*}" ]] || rm -f "$copy"; done
find "$site" -type f ! -name '*.gz' ! -name '*.br' ! -name '*.new' -print0 |
  while IFS= read -r -d '' file; do compress "$file"; done
