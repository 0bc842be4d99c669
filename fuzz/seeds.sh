#!/usr/bin/env bash
# Adds seed inputs for a fuzz target: seeds.sh TARGET CORPUS BINDIR.
# Adds seeds for one fuzz target: seeds.sh TARGET CORPUS BINDIR.
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

case "$target" in
  fuzz_sound_definition)
    # The data of the sample sounds, exported as stored.
    if [ -x "$bindir/quenchold-cli" ]; then
      work=$(mktemp -d)
      "$bindir/quenchold-cli" make-sample-data "$work/data" >/dev/null
      for id in chim wind; do
        "$bindir/quenchold-cli" --data "$work/data" export soun "$id" "$corpus/soun-$id" >/dev/null || true
      done
      rm -rf "$work"
    fi
    ;;
  fuzz_wav_file)
    # WAV files of other kinds than the sample data's.
    if command -v sox >/dev/null 2>&1; then
      for options in "-b 8" "-b 24" "-c 2 -b 16" "-e floating-point -b 32" "-e ima-adpcm -b 4"; do
        name=$(echo "$options" | tr -c 'a-z0-9' '_')
        sox -n -r 22050 $options "$corpus/sox$name.wav" synth 0.05 sine 440 2>/dev/null || true
      done
    fi
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
