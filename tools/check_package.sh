#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks what a distribution sees of the game: the desktop entry and the
# AppStream metadata validate, the Debian package builds, holds the standard
# layout, starts from where it was unpacked, and lintian finds nothing.
#   tools/check_package.sh [build folder]      (after a build; part of `bootstrap.sh test`)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
id=example.vortigo.Vortigo

echo "== desktop entry and AppStream metadata"
desktop-file-validate "$root/app/desktop/$id.desktop"
appstreamcli validate --no-net "$build/app/desktop/$id.metainfo.xml"  # with the build's addresses

echo "== Debian package"
rm -f "$build"/vortigo_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/vortigo_*.deb)
deb=${debs[0]}
[ -f "$deb" ] || { echo "no package was made" >&2; exit 1; }
dpkg-deb --field "$deb" Package Version Section Depends

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg -x "$deb" "$unpacked"
missing=0
for f in usr/games/vortigo \
         usr/share/vortigo/SLESSICO.1 usr/share/vortigo/SLESSICO.2 usr/share/vortigo/SLESSICO.3 \
         usr/share/vortigo/vortigo.gif usr/share/vortigo/vortigo.htm usr/share/vortigo/CREDITS.txt \
         usr/share/vortigo/COLLAPSE.WAV usr/share/vortigo/SND0002.WAV usr/share/vortigo/explode2.WAV \
         usr/share/vortigo/perdi.WAV usr/share/vortigo/VINCI.WAV usr/share/vortigo/SOUND2.wav \
         usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
         usr/share/icons/hicolor/16x16/apps/$id.png usr/share/icons/hicolor/256x256/apps/$id.png \
         usr/share/icons/hicolor/scalable/apps/$id.svg usr/share/man/man6/vortigo.6.gz \
         usr/share/doc/vortigo/copyright usr/share/doc/vortigo/changelog.gz usr/share/doc/vortigo/CREDITS.txt \
         usr/lib/vortigo/modules/libvortigo_sound.so; do
  if [ ! -f "$unpacked/$f" ]; then echo "missing from the package: /$f" >&2; missing=1; fi
done
for dep in fonts-wine fonts-liberation libqt6widgets6 libqt6multimedia6; do
  dpkg-deb --field "$deb" Depends | grep -q "$dep" || { echo "Depends lacks $dep" >&2; missing=1; }
done
[ ! -e "$unpacked/usr/bin" ] || { echo "the package still has /usr/bin" >&2; missing=1; }
grep -qx 'Exec=/usr/games/vortigo' "$unpacked/usr/share/applications/$id.desktop" || { echo "desktop entry Exec" >&2; missing=1; }
zgrep -q '/usr/games/vortigo' "$unpacked/usr/share/doc/vortigo/changelog.gz" || { echo "the changelog names another program" >&2; missing=1; }
desktop-file-validate "$unpacked/usr/share/applications/$id.desktop"
[ "$missing" -eq 0 ]
# The unpacked copy answers from its own place (no display needed).
"$unpacked/usr/games/vortigo" --version | head -n 1

echo "== lintian"
lintian --fail-on error,warning --display-info "$deb"
echo "package checks passed: $(basename "$deb")"
# The addresses are the build's (VORTIGO_HOMEPAGE, VORTIGO_SCREENSHOTS_URL, VORTIGO_MAINTAINER).
addresses=$(dpkg-deb --field "$deb" Maintainer Homepage)
if grep -q '\.example\b' <<<"$addresses"; then
  echo "note: the package still carries the placeholder addresses of *.example; see README, \"Installing\""
fi
