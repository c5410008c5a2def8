# Sourced by the scripts that drive a real program on a private virtual X server the way a user
# does (drive_dialog.sh, drive_fit.sh): the bounded waits, the run's own folder, the X server,
# and the keyboard and window helpers of xdotool. Every wait is bounded, so a hung program fails
# the test instead of hanging it. No window manager runs: each window is given the keyboard focus
# explicitly.
#
# The sourcing script sets program_pid when it starts its program and names the program's log in
# program_log; it calls need_tools and start_xvfb first.

wait_limit=20 # seconds for any one window or value to appear; generous for a loaded CI machine

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "-- $*"; }

# The tools "$@" must be on the PATH; $packages names the Debian packages that bring them.
need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool not found (Debian packages $packages)"
  done
}

workdir=$(mktemp -d)
program_log=$workdir/program.log
xvfb_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$workdir"
}
trap cleanup EXIT

# Runs "$@" every tenth of a second until it succeeds; false after wait_limit seconds.
within_limit() {
  local i
  for ((i = 0; i < wait_limit * 10; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# A display of its own, WIDTHxHEIGHT: Xvfb picks a free number and writes it once it accepts
# clients. Exports DISPLAY, a runtime folder in the run's own and Qt's X11 platform.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$workdir/display" \
    2>"$workdir/xvfb.log" &
  xvfb_pid=$!
  display_ready() {
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$workdir/xvfb.log")"
    [ -s "$workdir/display" ]
  }
  within_limit display_ready || fail "Xvfb did not report a display within ${wait_limit}s"
  DISPLAY=":$(head -n1 "$workdir/display")"
  export DISPLAY
  export XDG_RUNTIME_DIR=$workdir
  export QT_QPA_PLATFORM=xcb
}

# Prints the id of the visible window whose name matches the regular expression $1, waiting for
# it to appear.
find_window() {
  timeout "$wait_limit" xdotool search --sync --onlyvisible --name "$1" | head -n1 ||
    fail "no window named \"$1\" within ${wait_limit}s; program output: $(cat "$program_log")"
}
no_window() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
window_gone() { within_limit no_window "$1" || fail "window \"$1\" still shown after ${wait_limit}s"; }
focus() {
  timeout "$wait_limit" xdotool windowfocus --sync "$1" ||
    fail "could not give the keyboard focus to window $1"
}
keys() { xdotool key --delay 40 "$@"; }
visible_windows() { xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | wc -l; }
exited() { ! kill -0 "$program_pid" 2>/dev/null; }

# After the key ($1) that ends the program: it must be gone within the limit, with status 0.
expect_clean_exit() {
  within_limit exited || fail "program still running ${wait_limit}s after $1"
  local status=0
  wait "$program_pid" || status=$?
  program_pid=
  [ "$status" -eq 0 ] || fail "program exited with status $status; output: $(cat "$program_log")"
}
