#!/usr/bin/env bash
# Drives the real zerb program on a private virtual X server the way a user does, with the
# keyboard only: types a point, converts with Enter and reads dx, dy, dz back through the
# clipboard; types a value that does not parse and checks the message and that the text stays;
# opens and closes the About box from the system menu; leaves with Esc and expects exit status 0.
#
# Usage: drive_dialog.sh ZERB SHIFT_REFERENCE
# Needs Xvfb, xdotool, xclip and xprop; the waits and helpers are xvfb_driver.sh's.
set -euo pipefail

zerb=$1
reference=$2
# shellcheck source=xvfb_driver.sh
. "$(dirname "$0")/xvfb_driver.sh"
packages="xvfb, xdotool, xclip, x11-utils"
need_tools Xvfb xdotool xclip xprop timeout
start_xvfb 1024x768
step "X server on $DISPLAY"

"$zerb" >"$program_log" 2>&1 &
program_pid=$!

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
main=$(find_window "^求转换参数$")
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
message=$(find_window "^zerb$")
focus "$message"
keys Return
window_gone "^zerb$"
focus "$main"
expect_focused "B minutes after the message" 12abc

step "About box from the system menu (Shift+F10, a), closed with Enter"
windows=$(visible_windows)
keys shift+F10
menu_shown() { [ "$(visible_windows)" -gt "$windows" ]; }
within_limit menu_shown || fail "Shift+F10 opened no menu within ${wait_limit}s"
sleep 0.2 # the menu takes the keyboard right after it is mapped
keys a
about=$(find_window "^关于 zerb$")
focus "$about"
keys Return
window_gone "^关于 zerb$"

step "Esc ends the program"
focus "$main"
keys Escape
expect_clean_exit Esc
echo "PASS: zerb driven end to end"
