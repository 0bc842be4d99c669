#!/usr/bin/env bash
# Adds seed inputs for one fuzz target: seeds.sh TARGET CORPUS BINDIR.
set -euo pipefail
target=$1
corpus=$2
bindir=$3
cli="$bindir/quenchold-cli"
[ -x "$cli" ] || exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$(cd "$(dirname "$0")/.." && pwd)

sample() {
  [ -d "$work/data" ] || "$cli" make-sample-data "$work/data" >/dev/null
}

case "$target" in
  fuzz_skmd_loader|fuzz_skan_loader)
    sample
    "$cli" --data "$work/data" export skmd figr "$corpus/sample.skmd"
    "$cli" --data "$work/data" export skan figa "$corpus/sample.skan"
    ;;
  fuzz_sound_definition)
    # the data of the sample sounds, as stored
    sample
    for id in chim wind; do
      "$cli" --data "$work/data" export soun "$id" "$corpus/soun-$id" >/dev/null || true
    done
    ;;
  fuzz_wav_file)
    # WAV files of other kinds than the sample data's
    if command -v sox >/dev/null 2>&1; then
      for options in "-b 8" "-b 24" "-c 2 -b 16" "-e floating-point -b 32" "-e ima-adpcm -b 4"; do
        name=$(echo "$options" | tr -c 'a-z0-9' '_')
        sox -n -r 22050 $options "$corpus/sox$name.wav" synth 0.05 sine 440 2>/dev/null || true
      done
    fi
    ;;
  fuzz_view_resource)
    # the editor's own view resources and menu bar
    cp "$root"/resources/views/*.txt "$root"/resources/menus/*.txt "$corpus/" 2>/dev/null || true
    ;;
  fuzz_tag_row_drop)
    # mode 3 (rows of this process naming real tags), then two rows
    head -c 89 /dev/zero | tr '\0' '\3' >"$corpus/two-rows"
    ;;
  fuzz_layered_image)
    cp "$root"/tests/texture/fixtures/*.psd "$corpus/"
    ;;
  fuzz_texture_stack|fuzz_sprite)
    sample
    for tag in txst:terr txst:detl txst:sprf spri:sprt grsp:gspr; do
      "$cli" --data "$work/data" export "${tag%%:*}" "${tag#*:}" "$corpus/sample-${tag%%:*}-${tag#*:}"
    done
    ;;
esac
