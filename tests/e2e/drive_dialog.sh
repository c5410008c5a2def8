#!/usr/bin/env bash
# Drives the real zerb program on a private virtual X server the way a user does, with the
# keyboard only: types a point, converts with Enter and reads dx, dy, dz back through the
# clipboard; types a value that does not parse and checks the message and that the text stays;
# opens and closes the About box from the system menu; leaves with Esc and expects exit status 0.
#
# Usage: drive_dialog.sh ZERB SHIFT_REFERENCE
# Needs Xvfb, xdotool, xclip and xprop. Every wait is bounded, so a hung program fails the test instead
# of hanging it. No window manager runs: each window is given the keyboard focus explicitly.
set -euo pipefail

zerb=$1
reference=$2
wait_limit=20 # seconds for any one window or value to appear; generous for a loaded CI machine

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "-- $*"; }

for tool in Xvfb xdotool xclip xprop timeout; do
  command -v "$tool" >/dev/null ||
    fail "$tool not found (Debian packages xvfb, xdotool, xclip, x11-utils)"
done

workdir=$(mktemp -d)
xvfb_pid=
zerb_pid=
cleanup() {
  [ -n "$zerb_pid" ] && kill "$zerb_pid" 2>/dev/null
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

# A display number of its own: Xvfb picks a free one and writes it once it accepts clients.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$workdir/display" \
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
step "X server on $DISPLAY"

"$zerb" >"$workdir/zerb.log" 2>&1 &
zerb_pid=$!

# Prints the id of the visible window whose name is exactly $1, waiting for it to appear.
find_window() {
  timeout "$wait_limit" xdotool search --sync --onlyvisible --name "^$1\$" | head -n1 ||
    fail "no window named \"$1\" within ${wait_limit}s; program output: $(cat "$workdir/zerb.log")"
}
no_window() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
window_gone() { within_limit no_window "$1" || fail "window \"$1\" still shown after ${wait_limit}s"; }
focus() {
  timeout "$wait_limit" xdotool windowfocus --sync "$1" ||
    fail "could not give the keyboard focus to window $1"
}
keys() { xdotool key --delay 40 "$@"; }
visible_windows() { xdotool search --onlyvisible --pid "$zerb_pid" 2>/dev/null | wc -l; }
exited() { ! kill -0 "$zerb_pid" 2>/dev/null; }

# Replaces the text of the focused field with $1.
type_field() {
  keys ctrl+a
  xdotool type --delay 30 -- "$1"
}

# Checks the text of the focused widget: selects it, copies it and reads the clipboard, which the
# program serves. A marker put there first tells a fresh copy from an old one.
marker=zerb-e2e-marker
copied() {
  text=$(timeout 5 xclip -o -selection clipboard 2>/dev/null) && [ "$text" != "$marker" ]
}
expect_focused() {
  printf '%s' "$marker" | xclip -selection clipboard -i >/dev/null 2>&1
  keys ctrl+a ctrl+c
  within_limit copied || fail "$1: nothing copied from the focused field within ${wait_limit}s"
  [ "$text" = "$2" ] || fail "$1: expected \"$2\", read \"$text\""
  echo "   $1 = $text"
}

step "main window, named for the installed desktop entry"
main=$(find_window "求转换参数")
focus "$main"
xprop -id "$main" WM_CLASS | grep -q '"zerb", "zerb"' || fail "WM_CLASS is not zerb"

# One point, in the tab order of the form's input fields. Ordinary values near L0 = 117 degrees;
# every text is already the shortest form of its double, so the program must show it unchanged.
x=3376543.21 y=512345.678 h=40.125
b_deg=30 b_min=30 b_sec=12.3456
l_deg=117 l_min=7 l_sec=45.6789
big_h=25.678 l0=117
mapfile -t expected < <("$reference" "$x" "$y" "$h" "$b_deg" "$b_min" "$b_sec" \
  "$l_deg" "$l_min" "$l_sec" "$big_h" "$l0")
[ ${#expected[@]} -eq 3 ] || fail "reference helper gave no results"

step "typing the point, from x: two tabs after the convert button"
keys Tab Tab
expect_focused "x before input" 0
type_field "$x"
for value in "$y" "$h" "$b_deg" "$b_min" "$b_sec" "$l_deg" "$l_min" "$l_sec" "$big_h" "$l0"; do
  keys Tab
  type_field "$value"
done
step "Enter in L0 converts"
keys Return
keys Tab
expect_focused dx "${expected[0]}"
keys Tab
expect_focused dy "${expected[1]}"
keys Tab
expect_focused dz "${expected[2]}"

step "a minute value that does not parse"
keys Tab Tab Tab Tab Tab Tab Tab
type_field 12abc
keys Return
message=$(find_window zerb)
focus "$message"
keys Return
window_gone zerb
focus "$main"
expect_focused "B minutes after the message" 12abc

step "About box from the system menu (Shift+F10, a), closed with Enter"
windows=$(visible_windows)
keys shift+F10
menu_shown() { [ "$(visible_windows)" -gt "$windows" ]; }
within_limit menu_shown || fail "Shift+F10 opened no menu within ${wait_limit}s"
sleep 0.2 # the menu takes the keyboard right after it is mapped
keys a
about=$(find_window "关于 zerb")
focus "$about"
keys Return
window_gone "关于 zerb"

step "Esc ends the program"
focus "$main"
keys Escape
within_limit exited || fail "program still running ${wait_limit}s after Esc"
status=0
wait "$zerb_pid" || status=$?
zerb_pid=
[ "$status" -eq 0 ] || fail "program exited with status $status; output: $(cat "$workdir/zerb.log")"
echo "PASS: zerb driven end to end"
