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
read -r x y width height < <(e2e_geometry "$frame")
[ "$width" -ge 800 ] && [ "$height" -ge 500 ] || e2e_fail "the frame is ${width}x$height, less than 800x500"
shown=$(e2e_windows | wc -l)
[ "$shown" -eq 1 ] || e2e_fail "$shown windows show beside the frame (the splash stayed?)"

e2e_colours "$frame"
[ "$E2E_COLOURS" -ge 8 ] || e2e_fail "the picture of the frame is blank ($E2E_COLOURS colours)"

e2e_keys "$frame" ctrl+f
e2e_wait_window "$find_tag"
dialog=$E2E_WINDOW
e2e_keys "$dialog" Escape
e2e_wait_gone "$dialog"

# moved and resized as a person would, then closed with its close box
xdotool windowsize "$frame" 1000 700 windowmove "$frame" 50 60
deadline=$((SECONDS + E2E_TIMEOUT))
until [ "$(e2e_geometry "$frame")" = "50 60 1000 700" ]; do
  [ $SECONDS -lt $deadline ] || e2e_fail "the frame did not take its new place: $(e2e_geometry "$frame")"
  sleep 0.1
done
e2e_close "$frame"
e2e_wait_exit
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "closing the frame ended the program with status $E2E_STATUS"

e2e_start "$program" --data "$data" --no-splash
e2e_wait_window '^Quenchold$'
frame=$E2E_WINDOW
[ "$(e2e_geometry "$frame")" = "50 60 1000 700" ] || e2e_fail "the frame came back at $(e2e_geometry "$frame"), not where it was left"
e2e_close "$frame"
e2e_wait_exit
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "closing the frame ended the program with status $E2E_STATUS"
e2e_log "passed"
