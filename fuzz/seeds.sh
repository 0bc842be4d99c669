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
esac
