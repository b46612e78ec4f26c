#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a distribution sees it, made by cpack and unpacked
# again: it holds exactly the files tests/install/installed_files.txt lists
# for the game (not the record server), under /usr with the program in
# /usr/games, each with its permissions; its desktop entry starts the packaged
# program; it depends on the libraries the program links and on the two fonts
# it loads at run time; the unpacked program names the package's version; and
# lintian, pedantic, finds nothing but the notes accepted below.
#   tools/check_package.sh <build folder> [folder to leave the package in]
# (ctest runs it as DebianPackage.PassesLintianAndHoldsTheListedFiles.)
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$1
keep=${2:-}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$out/made" >/dev/null) || { echo "FAIL: cpack made no package" >&2; exit 1; }
debs=("$out"/made/*.deb)
deb=${debs[0]}
dpkg-deb -x "$deb" "$out/unpacked" || { echo "FAIL: the package does not unpack" >&2; exit 1; }
field() { dpkg-deb --field "$deb" "$1"; }

expected=$(sed -e '/^#/d' -e '/vortigo-records/d' -e 's| bin/| games/|' -e 's| | usr/|' \
  "$root/tests/install/installed_files.txt" | sort -k2)
actual=$(find "$out/unpacked" -mindepth 1 ! -type d -printf '%m %P\n' | sort -k2)
listed=$(diff <(echo "$expected") <(echo "$actual")) ||
  fail "the package does not hold the listed files under /usr (<) but (>):
$listed"

exec_line=$(sed -n 's/^Exec=//p' "$out"/unpacked/usr/share/applications/*.desktop)
program=${exec_line%% *}
[[ $program == /usr/games/* && -x $out/unpacked$program ]] || fail "the packaged entry starts '$program'"
said=$(QT_QPA_PLATFORM=offscreen "$out/unpacked/usr/games/vortigo" --version | head -n 1)
[ "$said" = "vortigo $(field Version)" ] || fail "the unpacked program says '$said', the package $(field Version)"

[ "$(field Package)/$(field Section)" = vortigo/games ] || fail "package $(field Package) in section $(field Section)"
homepage=$(sed -n 's/^VORTIGO_HOMEPAGE:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -n "$homepage" ] && [ "$(field Homepage)" = "$homepage" ] || fail "the package's Homepage is '$(field Homepage)', not '$homepage'"
depends=$(field Depends)
for dep in fonts-wine fonts-liberation libqt6widgets6 libqt6multimedia6; do
  [[ " $depends," == *" $dep"[\ ,]* ]] || fail "Depends lacks $dep: $depends"
done

# Accepted notes: cpack strips without removing .comment; the build leaves
# fortification to the compiler's defaults; the help page and the credits are
# opened by the game from its data folder; Italian words in the program read
# as English misspellings.
notes=$(lintian --pedantic --display-info --fail-on error,warning,info,pedantic \
  --suppress-tags binary-has-unneeded-section,hardening-no-fortify-functions,package-contains-documentation-outside-usr-share-doc,spelling-error-in-binary \
  "$deb" 2>&1) || fail "lintian: ${notes/running with root privileges is not recommended!/}"

if [ -n "$keep" ] && [ "$failures" -eq 0 ]; then
  cp "$deb" "$keep/" && echo "package: $keep/$(basename "$deb")"
  if field Maintainer | grep -q '\.example\b'; then
    echo "note: the package carries the placeholder addresses of *.example; see README, \"Installing\""
  fi
fi
[ "$failures" -eq 0 ] && echo "the package holds the listed files under /usr and lintian finds nothing"
exit $((failures > 0))
