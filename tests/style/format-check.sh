#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every C++ file of the tree is as clang-format (with the root .clang-format) would write it.
# Names each file that is not.
set -euo pipefail
clang_format=$1 src=$2
cd "$src"
if [ -d .git ] || [ -f .git ]; then
  mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
[ ${#files[@]} -gt 100 ] || { echo "FAIL: only ${#files[@]} C++ files found in $src" >&2; exit 1; }
# One run over all files; each place that differs is reported as FILE:LINE:COL: error: ...
if ! report=$("$clang_format" --dry-run --Werror "${files[@]}" 2>&1); then
  grep -oE '^[^:]+:[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u |
    sed 's/^/not formatted (clang-format -i FILE): /' >&2
  grep -q ': error' <<<"$report" || echo "$report" >&2
  exit 1
fi
echo "${#files[@]} C++ files formatted"
