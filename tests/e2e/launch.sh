#!/usr/bin/env bash
# The editor started as a person starts it, judged by what the X server shows:
#   launch.sh PROGRAM CLI [FIND_TAG_PATTERN]
# After the splash a viewable frame of at least 800 x 500 shows, the program's only
# window; a picture of it is not blank; Ctrl+F opens the Find Tag dialog (a window
# whose name matches FIND_TAG_PATTERN, default ^Find Tag$) and Escape closes it;
# closing the frame ends the program with status 0; the next start shows the frame
# where it was left.
set -euo pipefail
source "$(dirname "$0")/e2e.sh"
program=$1
cli=$2
find_tag=${3:-'^Find Tag$'}

e2e_begin
data=$E2E_DIR/data
"$cli" make-sample-data "$data" >/dev/null

started=$SECONDS
e2e_start "$program" --data "$data"
e2e_wait_window '^Quenchold$'
frame=$E2E_WINDOW
e2e_log "the frame showed $((SECONDS - started)) s after the start"
large() { local x y w h; read -r x y w h < <(e2e_geometry "$1"); [ "$w" -ge 800 ] && [ "$h" -ge 500 ]; }
e2e_until "the frame is at least 800x500" large "$frame"
e2e_until "the splash goes, leaving the frame the only window" e2e_only_window "$frame"
e2e_until "the frame is painted, not blank" e2e_painted "$frame"

e2e_keys_until "$find_tag" "$frame" ctrl+f
dialog=$E2E_WINDOW
e2e_keys "$dialog" Escape
e2e_wait_gone "$dialog"

# moved and resized as a person would, then closed with its close box
xdotool windowsize "$frame" 1000 700 windowmove "$frame" 50 60
e2e_until "the frame takes its new place" e2e_at "$frame" "50 60 1000 700"
e2e_close "$frame"
e2e_wait_exit
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "closing the frame ended the program with status $E2E_STATUS"

e2e_start "$program" --data "$data" --no-splash
e2e_wait_window '^Quenchold$'
frame=$E2E_WINDOW
e2e_until "the frame comes back where it was left" e2e_at "$frame" "50 60 1000 700"
e2e_close "$frame"
e2e_wait_exit
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "closing the frame ended the program with status $E2E_STATUS"
e2e_log "passed"
