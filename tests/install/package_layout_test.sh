#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by cpack and unpacked again, holds the files
# installed_files.txt lists for the game (not the record server) in the
# system's folders: under /usr, the program in /usr/games, each with its
# permissions, and its desktop entry starts the packaged program.
#   package_layout_test.sh <build folder>
set -uo pipefail

build=$1
list=$(dirname "$0")/installed_files.txt
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out/made" >/dev/null) || { echo "FAIL: cpack made no package" >&2; exit 1; }
debs=("$out"/made/*.deb)
dpkg-deb -x "${debs[0]}" "$out/unpacked" || { echo "FAIL: the package does not unpack" >&2; exit 1; }

expected=$(sed -e '/^#/d' -e '/vortigo-records/d' -e 's| bin/| games/|' -e 's| | usr/|' "$list" | sort -k2)
actual=$(find "$out/unpacked" -mindepth 1 ! -type d -printf '%m %P\n' | sort -k2)
failures=0
if ! listed=$(diff <(echo "$expected") <(echo "$actual")); then
  echo "FAIL: the package does not hold the listed files under /usr (<) but (>):" >&2
  echo "$listed" >&2
  failures=1
fi
exec_line=$(sed -n 's/^Exec=//p' "$out"/unpacked/usr/share/applications/*.desktop)
program=${exec_line%% *}
[[ $program == /* && -x $out/unpacked$program ]] || { echo "FAIL: the packaged entry starts '$program'" >&2; failures=1; }
[ "$failures" -eq 0 ] && echo "the package holds the listed files under /usr"
exit "$failures"
