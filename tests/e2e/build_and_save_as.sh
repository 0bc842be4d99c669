#!/usr/bin/env bash
# Build Foundation Tags and Save As, driven from the keyboard of the real editor:
#   build_and_save_as.sh PROGRAM CLI
# The root list is chosen in the file dialog; the summary comes up alone, with no
# progress window over it, and Return closes it; the outputs are the command line's,
# byte for byte, one of them megabytes large. Save As of a file in plugins, given only
# a name, puts the copy beside the file.
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
program=$1
cli=$2

e2e_begin
data=$E2E_DIR/data
"$cli" make-sample-data "$data" >/dev/null
# two raw tags of a megabyte and more, so that an output is written a buffer at a time
head -c 1500000 /dev/urandom >"$E2E_DIR/blob1.bin"
head -c 900000 /dev/urandom >"$E2E_DIR/blob2.bin"
"$cli" --data "$data" import-raw "$data/plugins/blobs.tag" "$E2E_DIR/blob1.bin" "$E2E_DIR/blob2.bin" >/dev/null
{
  cat "$data/root_list.txt"
  echo
  "$cli" --data "$data" list "$data/plugins/blobs.tag" | awk '{print $1 ":" $2}'
} >"$E2E_DIR/roots.txt"
cp -r "$data" "$E2E_DIR/reference"
"$cli" --data "$E2E_DIR/reference" build-foundation "$E2E_DIR/roots.txt" >/dev/null

e2e_start "$program" --data "$data" --no-splash
e2e_wait_window '^Quenchold$'
frame=$E2E_WINDOW

# File > Build Foundation Tags..., the root list typed into the file dialog
e2e_keys_until '^Open$' "$frame" alt+f b
e2e_type "$E2E_WINDOW" "$E2E_DIR/roots.txt"
e2e_keys "$E2E_WINDOW" Return
written() { [ -s "$data/foundation_build/dependency_log.txt" ] && e2e_find_window '^Build Foundation Tags$'; }
e2e_until "the outputs are written and the summary shows" written
summary=$E2E_WINDOW
# a progress window of work this short would come up after its minimum duration: the one
# fixed wait, since it looks for something that must not happen
sleep 1
[ "$(e2e_windows '^Build Foundation Tags$')" = "$summary" ] || e2e_fail "another window came up over the summary"
e2e_until "the summary is painted" e2e_painted "$summary"
e2e_keys "$summary" Return
e2e_wait_gone "$summary"
for name in small.tag small_localized.tag large.tag; do
  cmp -s "$data/foundation_build/$name" "$E2E_DIR/reference/foundation_build/$name" ||
    e2e_fail "$name differs from the command line's"
done
[ "$(stat -c %s "$data/foundation_build/small.tag")" -gt 2000000 ] || e2e_fail "small.tag does not hold the raw tags"

# File > Open... blobs.tag, then File > Save As... with a bare name
e2e_keys_until '^Open$' "$frame" ctrl+o
e2e_type "$E2E_WINDOW" "$data/plugins/blobs.tag"
e2e_keys "$E2E_WINDOW" Return
e2e_wait_gone "$E2E_WINDOW"
e2e_keys_until '^Save As$' "$frame" alt+f a
e2e_keys "$E2E_WINDOW" ctrl+a
e2e_type "$E2E_WINDOW" "copy.tag"
e2e_keys "$E2E_WINDOW" Return
e2e_until "Save As writes the copy beside the file" test -s "$data/plugins/copy.tag"
[ ! -e "$data/copy.tag" ] || e2e_fail "Save As wrote the copy into the data folder"
cmp -s "$data/plugins/copy.tag" "$data/plugins/blobs.tag" || e2e_fail "the copy's bytes differ from the file's"

e2e_close "$frame"
e2e_wait_exit
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "closing the frame ended the program with status $E2E_STATUS"
e2e_log "passed"
