#!/usr/bin/env bash
# Started without a usable display, the program must say so in one clear line of its own and exit
# with status 1: once with no display named at all, once with a display that no server serves.
# A toolkit abort would end in a signal and several lines of diagnostics instead.
#
# Usage: no_display.sh ZERB
set -euo pipefail

zerb=$1

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Runs the program in environment "$@" (env arguments) and checks status and message.
expect_one_line() {
  local what=$1
  shift
  local err status=0
  err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" timeout 30 "$zerb" 2>&1 \
    >/dev/null) || status=$?
  [ "$status" -eq 1 ] || fail "$what: exit status $status, expected 1; said: $err"
  [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || fail "$what: expected one line, got: $err"
  [[ $err == zerb:* ]] || fail "$what: the line does not name the program: $err"
  echo "$what: $err"
}

expect_one_line "no display named"

# A display number with neither a socket nor a lock file: no server can be listening on it.
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
expect_one_line "display :$n not served" DISPLAY=":$n"
echo "PASS: a clear line and status 1 without a display"
