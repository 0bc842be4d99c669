#!/usr/bin/env bash
# Adds seed inputs for a fuzz target: seeds.sh TARGET CORPUS BINDIR.
set -euo pipefail
target=$1
corpus=$2
bindir=$3
cli="$bindir/quenchold-cli"
[ -x "$cli" ] || exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

case "$target" in
  fuzz_skmd_loader|fuzz_skan_loader)
    "$cli" make-sample-data "$work/data" >/dev/null
    "$cli" --data "$work/data" export skmd figr "$corpus/sample.skmd"
    "$cli" --data "$work/data" export skan figa "$corpus/sample.skan"
    ;;
  fuzz_layered_image)
    root=$(cd "$(dirname "$0")/.." && pwd)
    cp "$root"/tests/texture/fixtures/*.psd "$corpus/"
    ;;
  fuzz_texture_stack|fuzz_sprite)
    "$cli" make-sample-data "$work/data" >/dev/null
    for tag in txst:terr txst:detl txst:sprf spri:sprt grsp:gspr; do
      "$cli" --data "$work/data" export "${tag%%:*}" "${tag#*:}" "$corpus/sample-${tag%%:*}-${tag#*:}"
    done
    ;;
esac
