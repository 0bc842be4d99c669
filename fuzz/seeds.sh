#!/usr/bin/env bash
# More seeds for a fuzz target: seeds.sh TARGET CORPUS BINDIR. Each target adds its own case.
set -euo pipefail
target=${1:?target} corpus=${2:?corpus} bin=${3:?binary folder}
[ -x "$bin/quenchold-cli" ] || exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sample() {
  "$bin/quenchold-cli" make-sample-data "$work/sample" >/dev/null
}

case "$target" in
  fuzz_mesh_map)
    sample
    for id in m001 m002; do
      "$bin/quenchold-cli" --data "$work/sample" export mesh "$id" "$corpus/seed-mesh-$id"
    done
    ;;
  fuzz_gameplay_tags)
    sample
    "$bin/quenchold-cli" --data "$work/sample" list | while IFS=$'\t' read -r type id version size name path; do
      case "$type" in
        amso|arti|conn|core|form|game|glli|ligh|loli|lpgr|medi|meef|meli|mons|obje|obpc|part|phys|prgr|proj|scen|unit|wind)
          "$bin/quenchold-cli" --data "$work/sample" export "$type" "$id" "$work/data"
          { printf '%s\001' "$type"; cat "$work/data"; } >"$corpus/seed-$type-$id"
          ;;
      esac
    done
    ;;
esac
