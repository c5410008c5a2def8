#!/bin/sh
# The program started without a usable display says so in one line on stderr and exits with a
# non-zero status of its own, never with the toolkit's abort. Once with no display set at all,
# once with a display that nobody serves.
prog=$1

check() {
  out=$("$@" 2>&1 >/dev/null)
  rc=$?
  lines=$(printf '%s\n' "$out" | wc -l)
  if [ "$rc" -eq 0 ] || [ "$rc" -ge 128 ] || [ "$lines" -ne 1 ]; then
    echo "FAIL ($*): exit $rc, stderr:"
    printf '%s\n' "$out"
    exit 1
  fi
  case $out in
    *无法打开窗口*) echo "ok ($*): $out" ;;
    *) echo "FAIL ($*): unclear message: $out"; exit 1 ;;
  esac
}

check env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prog"
check env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:9999 "$prog"
