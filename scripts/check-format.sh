#!/usr/bin/env bash
# Fails when a C++ file is not clang-format clean; with --fix, formats them instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.h' '*.cpp')
[[ ${#files[@]} -eq 0 ]] && exit 0
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run --Werror "${files[@]}"
fi
