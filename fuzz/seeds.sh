#!/usr/bin/env bash
# seeds.sh TARGET CORPUS BINDIR: adds seeds of a target's own kind to its corpus.
set -euo pipefail
target=$1
corpus=$2
root=$(cd "$(dirname "$0")/.." && pwd)
case "$target" in
  fuzz_view_resource)
    cp "$root"/resources/views/*.txt "$root"/resources/menus/*.txt "$corpus/" 2>/dev/null || true
    ;;
  fuzz_tag_row_drop)
    # mode 3 (this process, real entries) then two rows
    head -c 89 /dev/zero | tr '\0' '\3' >"$corpus/two-rows"
    ;;
esac
