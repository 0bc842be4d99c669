#!/usr/bin/env bash
# Adds seeds for one fuzz target: seeds.sh TARGET CORPUS BINDIR. Each target adds its own case.
set -euo pipefail
target=${1:?target}
corpus=${2:?corpus}
bindir=${3:?binary folder}
cli="$bindir/quenchold-cli"
[ -x "$cli" ] || exit 0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The sample data, made when a case first needs it.
sample() {
  [ -d "$work/data" ] || "$cli" make-sample-data "$work/data" >/dev/null
}

case "$target" in
  fuzz_skmd_loader|fuzz_skan_loader)
    sample
    "$cli" --data "$work/data" export skmd figr "$corpus/sample.skmd"
    "$cli" --data "$work/data" export skan figa "$corpus/sample.skan"
    ;;
  fuzz_tag_text)
    # The sample string list, template and text, as stored.
    sample
    for item in stli:m1ti temp:ambu text:brif; do
      "$cli" --data "$work/data" export "${item%%:*}" "${item##*:}" "$corpus/${item%%:*}" >/dev/null || true
    done
    ;;
  fuzz_sound_definition)
    # The data of the sample sounds, exported as stored.
    sample
    for id in chim wind; do
      "$cli" --data "$work/data" export soun "$id" "$corpus/soun-$id" >/dev/null || true
    done
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
  fuzz_view_resource)
    # the editor's own view resources and menu bar
    root=$(cd "$(dirname "$0")/.." && pwd)
    cp "$root"/resources/views/*.txt "$root"/resources/menus/*.txt "$corpus/" 2>/dev/null || true
    ;;
  fuzz_tag_row_drop)
    # mode 3 (rows of this process naming real tags), then two rows
    head -c 89 /dev/zero | tr '\0' '\3' >"$corpus/two-rows"
    ;;
  fuzz_mesh_map)
    sample
    for id in m001 m002; do
      "$cli" --data "$work/data" export mesh "$id" "$corpus/seed-mesh-$id"
    done
    ;;
  fuzz_gameplay_tags)
    # A type, a version byte, then the data of each structure tag of the sample data.
    sample
    "$cli" --data "$work/data" list | while IFS=$'\t' read -r type id version size name path; do
      case "$type" in
        amso|arti|conn|core|form|game|glli|ligh|loli|lpgr|medi|meef|meli|mons|obje|obpc|part|phys|prgr|proj|scen|unit|wind)
          "$cli" --data "$work/data" export "$type" "$id" "$work/tag"
          { printf '%s\001' "$type"; cat "$work/tag"; } >"$corpus/seed-$type-$id"
          ;;
      esac
    done
    ;;
  fuzz_script_parser)
    # The statistics text of the sample units, itself a script.
    sample
    runner=$(cd "$(dirname "$cli")" && pwd)/quenchold-cli
    (cd "$work/data" && "$runner" run-script scripts/export_stats.QSF >/dev/null) && cp "$work/data/unit_stats.txt" "$corpus/seed-unit-stats"
    ;;
  fuzz_layered_image)
    cp "$(cd "$(dirname "$0")/.." && pwd)"/tests/texture/fixtures/*.psd "$corpus/"
    ;;
  fuzz_tag_json)
    # The sample tags as dump writes them, for the types that give fields, summaries or bare data.
    sample
    for item in mons:warr unit:warr proj:arro prgr:hit_ soli:snds lpgr:sprk txst:terr soun:chim text:brif; do
      "$cli" --data "$work/data" dump "${item%%:*}" "${item##*:}" "$corpus/${item%%:*}.json" >/dev/null 2>&1 || true
    done
    ;;
  fuzz_texture_stack|fuzz_sprite)
    sample
    for tag in txst:terr txst:detl txst:sprf spri:sprt grsp:gspr; do
      "$cli" --data "$work/data" export "${tag%%:*}" "${tag#*:}" "$corpus/sample-${tag%%:*}-${tag#*:}"
    done
    ;;
esac
