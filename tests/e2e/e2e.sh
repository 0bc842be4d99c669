# Shared steps of the end-to-end tests, to be sourced: a private X server on a free
# display, a program started as a person starts it, and looks at what the X server
# shows. Every wait polls a condition until E2E_TIMEOUT seconds have passed (default
# 90: a loaded machine or a sanitizer build starts slowly); nothing waits a fixed time.
#
#   source tests/e2e/e2e.sh
#   e2e_begin                                # X server, temporary folder, clean-up
#   e2e_start out/bin/quenchold --data DIR   # E2E_PID
#   e2e_wait_window '^Quenchold$'            # E2E_WINDOW: a viewable top-level window of E2E_PID
#   e2e_keys_until '^Find Tag$' "$E2E_WINDOW" ctrl+f   # typed until that window shows
#   e2e_until "the frame is painted" e2e_painted "$E2E_WINDOW"
#   e2e_close "$E2E_WINDOW"                  # the close box (WM_DELETE_WINDOW)
#   e2e_wait_exit                            # E2E_STATUS
#
# The program's settings go to a folder of the test ($XDG_CONFIG_HOME), never the
# user's. On a failure the folder is kept, with a picture of the screen in it.

E2E_TIMEOUT=${E2E_TIMEOUT:-90}
E2E_SCREEN=${E2E_SCREEN:-1600x1000x24}
E2E_DIR=
E2E_XVFB=
E2E_PID=
E2E_STATUS=
E2E_WINDOW=
E2E_COLOURS=
E2E_FAILED=

e2e_log() { echo "e2e: $*"; }

e2e_fail()
{
  E2E_FAILED=1
  echo "e2e: FAILED: $*" >&2
  if [ -n "${DISPLAY:-}" ] && [ -n "$E2E_XVFB" ]; then
    echo "e2e: viewable windows:" >&2
    local w
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
      echo "  $w $(xdotool getwindowname "$w" 2>/dev/null)" >&2
    done
    import -window root "$E2E_DIR/failure.png" 2>/dev/null && echo "e2e: the screen: $E2E_DIR/failure.png" >&2
  fi
  if [ -n "$E2E_DIR" ] && [ -s "$E2E_DIR/program.err" ]; then
    echo "e2e: the program's standard error:" >&2
    sed 's/^/  /' "$E2E_DIR/program.err" >&2
  fi
  exit 1
}

e2e_begin()
{
  local tool
  for tool in Xvfb xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is missing (scripts/bootstrap installs it)"
  done
  E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quenchold-e2e.XXXXXX")
  trap e2e_end EXIT
  mkdir -p "$E2E_DIR/config" "$E2E_DIR/runtime"
  chmod 700 "$E2E_DIR/runtime"
  export XDG_CONFIG_HOME="$E2E_DIR/config" XDG_RUNTIME_DIR="$E2E_DIR/runtime"
  export QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY
  e2e_xvfb
}

# Xvfb chooses a display number nobody uses and writes it once it is ready. Without
# -noreset it starts over whenever its last client leaves (each xdotool call, the
# program quitting), and a program connecting just then is refused.
e2e_xvfb()
{
  Xvfb -displayfd 3 -screen 0 "$E2E_SCREEN" -nolisten tcp -noreset 3>"$E2E_DIR/display" 2>"$E2E_DIR/xvfb.log" &
  E2E_XVFB=$!
  local deadline=$((SECONDS + E2E_TIMEOUT))
  until [ -s "$E2E_DIR/display" ]; do
    kill -0 "$E2E_XVFB" 2>/dev/null || { E2E_XVFB=; e2e_fail "Xvfb did not start: $(cat "$E2E_DIR/xvfb.log")"; }
    [ $SECONDS -lt $deadline ] || e2e_fail "Xvfb gave no display within $E2E_TIMEOUT s"
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$E2E_DIR/display")"
  e2e_log "X server on $DISPLAY"
}

e2e_end()
{
  set +e
  if [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; then
    kill "$E2E_PID" 2>/dev/null
    wait "$E2E_PID" 2>/dev/null
  fi
  if [ -n "$E2E_XVFB" ]; then
    kill "$E2E_XVFB" 2>/dev/null
    wait "$E2E_XVFB" 2>/dev/null
  fi
  if [ -n "$E2E_FAILED" ]; then
    echo "e2e: kept $E2E_DIR" >&2
  elif [ -n "$E2E_DIR" ]; then
    rm -rf "$E2E_DIR"
  fi
}

# e2e_start PROGRAM ARGS...: starts the program in the background; its output goes to
# program.out and program.err in the test's folder.
e2e_start()
{
  E2E_STATUS=
  "$@" >"$E2E_DIR/program.out" 2>"$E2E_DIR/program.err" &
  E2E_PID=$!
}

# e2e_windows [PATTERN]: the program's viewable top-level windows (whose names match).
e2e_windows()
{
  if [ $# -eq 0 ]; then
    xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null || true
  else
    xdotool search --all --onlyvisible --pid "$E2E_PID" --name "$1" 2>/dev/null || true
  fi
}

# e2e_until WHAT COMMAND...: runs the command until it succeeds; fails saying WHAT did
# not happen once E2E_TIMEOUT seconds have passed or the program has ended.
e2e_until()
{
  local what=$1
  shift
  local deadline=$((SECONDS + E2E_TIMEOUT))
  until "$@"; do
    if [ -n "$E2E_PID" ] && ! kill -0 "$E2E_PID" 2>/dev/null; then
      e2e_fail "the program ended before $what"
    fi
    [ $SECONDS -lt $deadline ] || e2e_fail "$what: not within $E2E_TIMEOUT s"
    sleep 0.1
  done
}

# e2e_find_window PATTERN: succeeds when a viewable top-level window of the program
# has a name matching the pattern; its id goes to E2E_WINDOW.
e2e_find_window()
{
  E2E_WINDOW=$(e2e_windows "$1" | head -n1)
  [ -n "$E2E_WINDOW" ]
}

# e2e_wait_window PATTERN: waits for a viewable top-level window of the program whose
# name matches the pattern; its id goes to E2E_WINDOW.
e2e_wait_window()
{
  e2e_until "a viewable window \"$1\"" e2e_find_window "$1"
}

# e2e_wait_gone WINDOW: waits until the window is no longer viewable.
e2e_wait_gone()
{
  e2e_until "window $1 goes away" e2e_gone "$1"
}

e2e_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }

# e2e_only_window WINDOW: succeeds when the window is the program's only viewable one.
e2e_only_window() { [ "$(e2e_windows)" = "$1" ]; }

# e2e_geometry WINDOW: prints "X Y WIDTH HEIGHT" as the X server has them.
e2e_geometry()
{
  xwininfo -id "$1" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4}
                           /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print x, y, w, h}'
}

# e2e_at WINDOW "X Y WIDTH HEIGHT": succeeds when the window has that place and size.
e2e_at() { [ "$(e2e_geometry "$1")" = "$2" ]; }

# e2e_painted WINDOW [COLOURS]: succeeds when a picture of the window has at least
# COLOURS colours (default 8: more than a blank window's); the count goes to E2E_COLOURS.
e2e_painted()
{
  E2E_COLOURS=$(import -window "$1" -format '%k' info: 2>/dev/null) || E2E_COLOURS=0
  [ "$E2E_COLOURS" -ge "${2:-8}" ]
}

# e2e_keys WINDOW KEYS...: the keys typed on the keyboard while the window has the focus.
e2e_keys()
{
  local w=$1
  shift
  xdotool windowfocus "$w" mousemove --window "$w" 40 40 || e2e_fail "cannot focus window $w"
  xdotool key --delay 40 "$@"
}

# e2e_type WINDOW TEXT: the text typed on the keyboard while the window has the focus.
e2e_type()
{
  xdotool windowfocus "$1" mousemove --window "$1" 40 40 || e2e_fail "cannot focus window $1"
  xdotool type --delay 20 "$2"
}

# e2e_keys_until PATTERN WINDOW KEYS...: types the keys on the window, again every few
# seconds while the program is too busy to answer, until a window matching PATTERN
# shows (E2E_WINDOW).
e2e_keys_until()
{
  local pattern=$1 w=$2
  shift 2
  local deadline=$((SECONDS + E2E_TIMEOUT)) again=0
  until e2e_find_window "$pattern"; do
    kill -0 "$E2E_PID" 2>/dev/null || e2e_fail "the program ended before a window \"$pattern\" showed"
    [ $SECONDS -lt $deadline ] || e2e_fail "no window \"$pattern\" after typing $* for $E2E_TIMEOUT s"
    if [ $SECONDS -ge $again ]; then
      e2e_keys "$w" "$@"
      again=$((SECONDS + 10))
    fi
    sleep 0.1
  done
}

# e2e_close WINDOW: the window's close box, as a window manager sends it.
e2e_close()
{
  "${E2E_X11_CLOSE:?the x11-close helper}" "$1" || e2e_fail "window $1 cannot be closed"
}

# e2e_wait_exit: waits for the program to end; its exit status goes to E2E_STATUS.
e2e_wait_exit()
{
  local deadline=$((SECONDS + E2E_TIMEOUT))
  while kill -0 "$E2E_PID" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || e2e_fail "the program is still running $E2E_TIMEOUT s later"
    sleep 0.1
  done
  E2E_STATUS=0
  wait "$E2E_PID" || E2E_STATUS=$?
  E2E_PID=
}
