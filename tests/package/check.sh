#!/usr/bin/env bash
# Builds the Debian package with scripts/package and checks it as a user's system would see it:
# lintian finds no error; the files dpkg -x unpacks are all there (both programs, their manual
# pages compressed without name or time stamp, the desktop entry, the hicolor icons, the AppStream
# metadata, the DEP-5 copyright and the Debian changelog); the desktop entry and the AppStream
# metadata pass their validators and name each other; man opens both pages, and zerb-shift(1)
# names every option the packaged program's --help has; Depends lists exactly the packages of the
# shared libraries the programs link.
#
# Usage: tests/package/check.sh   (from anywhere; builds in build-package)
set -euo pipefail
cd "$(dirname "$0")/../.."

workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
passed=0
failed=0
pass() {
  echo "ok: $1"
  passed=$((passed + 1))
}
fail() {
  echo "FAIL: $1" >&2
  failed=$((failed + 1))
}
finish() {
  echo "package: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

if ! scripts/package "$workdir/out" >"$workdir/build.log" 2>&1; then
  cat "$workdir/build.log" >&2
  fail "scripts/package builds the package"
  finish
fi
deb=$(tail -n1 "$workdir/build.log")
pass "scripts/package builds $(basename "$deb")"

# lintian's whole report goes into the log; only errors fail (warnings are explained in
# packaging/ and in the report that introduced them).
if lintian --fail-on error --info "$deb" >"$workdir/lintian.log" 2>&1; then
  pass "lintian reports no error"
else
  fail "lintian reports errors"
fi
grep -v '^N:' "$workdir/lintian.log" | grep -v 'running with root privileges' || true

version=$(dpkg-deb -f "$deb" Version)
changelog_version=$(dpkg-parsechangelog -l packaging/changelog -SVersion)
[ "$version" = "$changelog_version" ] &&
  [ "$(basename "$deb")" = "zerb_${version}_$(dpkg --print-architecture).deb" ] &&
  pass "version $version is the changelog's, in the file name" ||
  fail "package version $version, changelog $changelog_version, file $(basename "$deb")"

root=$workdir/root
dpkg -x "$deb" "$root"
# The dialog's id, and zerb-fit's beside it ("ID.fit").
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$root"/usr/share/metainfo/*.metainfo.xml 2>/dev/null |
  grep -v '\.fit$' || true)
fit_id=$id.fit
expected=(
  usr/bin/zerb usr/bin/zerb-shift usr/bin/zerb-convert usr/bin/zerb-fit
  usr/share/man/man1/zerb.1.gz usr/share/man/man1/zerb-shift.1.gz
  usr/share/man/man1/zerb-convert.1.gz usr/share/man/man1/zerb-fit.1.gz
  "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml"
  "usr/share/applications/$fit_id.desktop" "usr/share/metainfo/$fit_id.metainfo.xml"
  usr/share/icons/hicolor/16x16/apps/zerb.png usr/share/icons/hicolor/32x32/apps/zerb.png
  usr/share/doc/zerb/copyright usr/share/doc/zerb/changelog.Debian.gz
  usr/share/locale/zh_CN/LC_MESSAGES/zerb.mo
)
missing=()
for f in "${expected[@]}"; do [ -f "$root/$f" ] || missing+=("$f"); done
[ -n "$id" ] && [ ${#missing[@]} -eq 0 ] && [ -x "$root/usr/bin/zerb" ] &&
  [ -x "$root/usr/bin/zerb-shift" ] && [ -x "$root/usr/bin/zerb-convert" ] &&
  [ -x "$root/usr/bin/zerb-fit" ] && pass "the package holds all ${#expected[@]} files (id $id)" ||
  fail "missing from the package: ${missing[*]} (AppStream id '$id')"

# gzip -9n: the header's FLG byte (offset 3) has no FNAME bit (8) and MTIME (4 to 7) is zero, so
# the same page compresses to the same bytes on every build.
stamped=()
for f in "$root"/usr/share/man/man1/*.gz "$root"/usr/share/doc/zerb/changelog.Debian.gz; do
  header=$(od -An -tx1 -N8 "$f" | tr -d ' \n')
  { [ "${header:0:4}" = 1f8b ] && [ $((16#${header:6:2} & 8)) -eq 0 ] &&
    [ "${header:8:8}" = 00000000 ]; } || stamped+=("${f#"$root"/}")
done
[ ${#stamped[@]} -eq 0 ] && pass "manual pages and changelog are gzip -n" ||
  fail "compressed with a name or time stamp: ${stamped[*]}"

for app in "$id" "$fit_id"; do
  desktop-file-validate "$root/usr/share/applications/$app.desktop" &&
    pass "desktop-file-validate accepts $app.desktop" ||
    fail "desktop-file-validate rejects $app.desktop"
  appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/$app.metainfo.xml" &&
    pass "appstreamcli validate --no-net accepts $app.metainfo.xml" ||
    fail "appstreamcli validate --no-net rejects $app.metainfo.xml"
done
# validate-tree also checks that the metadata's launchable is a desktop entry in the same tree.
appstreamcli validate-tree --no-net "$root" >"$workdir/tree.log" 2>&1 &&
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$root/usr/share/metainfo/$id.metainfo.xml" &&
  grep -q "<launchable type=\"desktop-id\">$fit_id.desktop</launchable>" \
    "$root/usr/share/metainfo/$fit_id.metainfo.xml" &&
  pass "each program's metadata launches its packaged desktop entry" ||
  { cat "$workdir/tree.log" >&2; fail "metadata and desktop entry do not name each other"; }

pages_ok=true
# Rendered without hyphenation, which would split an option at a line's end ("--for-" "mat");
# the lines stay justified, so words may stand two blanks apart ("Exit  status").
for page in zerb zerb-shift zerb-convert zerb-fit; do
  LC_ALL=C.UTF-8 MANWIDTH=250 MANROFFOPT=-rHY=0 man -l -P cat "$root/usr/share/man/man1/$page.1.gz" \
    >"$workdir/$page.txt" 2>"$workdir/$page.err" &&
    grep -q "^NAME" "$workdir/$page.txt" && grep -q "^SYNOPSIS" "$workdir/$page.txt" ||
    { pages_ok=false; cat "$workdir/$page.err" >&2; }
done
$pages_ok && pass "man -l opens zerb(1), zerb-shift(1), zerb-convert(1) and zerb-fit(1)" || fail "man cannot render a page"

# Every long option of the packaged program's help is in its page, and so is the exit status.
undocumented=()
while read -r option; do
  grep -qF -- "$option" "$workdir/zerb-shift.txt" || undocumented+=("$option")
done < <("$root/usr/bin/zerb-shift" --help | grep -o -- '--[A-Za-z0-9][A-Za-z0-9-]*' | sort -u)
[ ${#undocumented[@]} -eq 0 ] && grep -qE "Exit +status" "$workdir/zerb-shift.txt" &&
  pass "zerb-shift(1) documents every option and the exit status of --help" ||
  fail "zerb-shift(1) lacks: ${undocumented[*]}"
undocumented=()
while read -r option; do
  grep -qF -- "$option" "$workdir/zerb-convert.txt" || undocumented+=("$option")
done < <("$root/usr/bin/zerb-convert" --help | grep -o -- '--[A-Za-z0-9][A-Za-z0-9-]*' | sort -u)
[ ${#undocumented[@]} -eq 0 ] && grep -qE "Exit +status" "$workdir/zerb-convert.txt" &&
  pass "zerb-convert(1) documents every option and the exit status of --help" ||
  fail "zerb-convert(1) lacks: ${undocumented[*]}"

# The packaged program finds its catalogue where the package puts it: the catalogue's path is
# compiled in as /usr/share/locale, so it is pointed at the unpacked tree here.
if locale -a 2>/dev/null | grep -qiE '^zh_CN\.utf-?8$'; then
  env -u LANGUAGE -u LC_ALL LANG=zh_CN.UTF-8 ZERB_LOCALEDIR="$root/usr/share/locale" \
    "$root/usr/bin/zerb-shift" --help | head -n1 | grep -q '^用法：zerb-shift' &&
    LC_ALL=C "$root/usr/bin/zerb-shift" --help | head -n1 | grep -q '^Usage: zerb-shift' &&
    pass "the packaged zerb-shift speaks Chinese under zh_CN.UTF-8, English under C" ||
    fail "the packaged zerb-shift does not speak Chinese under zh_CN.UTF-8"
else
  fail "the zh_CN.UTF-8 locale is missing (scripts/deps generates it)"
fi

# Depends against the libraries: each NEEDED entry of both programs, resolved as the dynamic
# linker would, belongs to a package in Depends, and each package in Depends provides one.
needed_packages=$(
  for program in "$root"/usr/bin/*; do
    readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
  done | sort -u | while read -r soname; do
    path=$(ldconfig -p | awk -v so="$soname" '$1 == so && /x86-64|64bit|AArch64/ {print $NF; exit}')
    [ -n "$path" ] || path=$(ldconfig -p | awk -v so="$soname" '$1 == so {print $NF; exit}')
    dpkg -S "$(realpath "$path")" 2>/dev/null | head -n1 | cut -d: -f1 ||
      dpkg -S "$path" | head -n1 | cut -d: -f1
  done | sort -u | tr '\n' ' '
)
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g' | sort -u | tr '\n' ' ')
[ -n "$depends" ] && [ "$depends" = "$needed_packages" ] &&
  pass "Depends is exactly the linked libraries' packages: $depends" ||
  fail "Depends '$depends', linked libraries come from '$needed_packages'"

# The copyright file is DEP-5 and carries LICENSE's text unchanged, below its copyright line.
copyright=$root/usr/share/doc/zerb/copyright
license_body=$(sed -n '/^Copyright (c)/,$p' LICENSE | tail -n +2 | sed '/./,$!d')
# The stand-alone licence paragraph is the last "License: Expat"; its text runs to the end.
dep5_body=$(tac "$copyright" | sed '/^License: Expat$/q' | tac | tail -n +2 | sed 's/^ \.$//; s/^ //')
head -n1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' &&
  grep -q "^Copyright: $(sed -n 's/^Copyright (c) //p' LICENSE)$" "$copyright" &&
  [ "$dep5_body" = "$license_body" ] &&
  pass "copyright is DEP-5 with the licence from LICENSE" ||
  fail "copyright is not DEP-5 or differs from LICENSE"

finish
