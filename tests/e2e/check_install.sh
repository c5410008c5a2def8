#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a Linux desktop needs to offer the
# programs: the executables, a desktop entry for each that passes desktop-file-validate and starts
# its executable, and the icon each names in the hicolor theme at 16 and 32 pixels.
#
# Usage: check_install.sh CMAKE BUILD_DIR
set -euo pipefail

cmake=$1
build=$2

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

command -v desktop-file-validate >/dev/null ||
  fail "desktop-file-validate not found (Debian package desktop-file-utils)"

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

# Each entry is named by its program's reverse-DNS id: the dialog's, and zerb-fit's beside it.
entries=("$prefix"/share/applications/*.desktop)
[ ${#entries[@]} -eq 2 ] && [ -f "${entries[0]}" ] && [ -f "${entries[1]}" ] ||
  fail "expected two desktop entries in share/applications, found: ${entries[*]}"
for entry in "${entries[@]}"; do
  desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
  ! grep -n @ "$entry" || fail "$entry keeps a placeholder the build should have filled"

  # Prints the value of key $1 in the entry's [Desktop Entry] group.
  key() { sed -n "/^\[Desktop Entry\]/,/^\[/s/^$1=//p" "$entry"; }

  exec_name=$(key Exec)
  exec_name=${exec_name%% *}  # without a field code such as %f
  [ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed program in bin/"
  [ "$(key Terminal)" = false ] || fail "$entry must not ask for a terminal"
  icon=$(key Icon)

  for size in 16 32; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ -f "$png" ] || fail "Icon=$icon has no ${size} px image in the hicolor theme"
    # A PNG starts with its 8-byte signature; the IHDR chunk then gives width and height as
    # big-endian 32-bit numbers at byte offsets 16 and 20.
    head=$(od -An -tx1 -N24 "$png" | tr -d ' \n')
    [ "${head:0:16}" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
    [ $((16#${head:32:8})) -eq "$size" ] && [ $((16#${head:40:8})) -eq "$size" ] ||
      fail "$png is $((16#${head:32:8}))x$((16#${head:40:8})), expected ${size}x${size}"
  done
done
echo "PASS: installed programs, desktop entries and icons"
