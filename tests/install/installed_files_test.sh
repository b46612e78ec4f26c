#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What gets installed agrees with itself, read back from a staging root (the
# way a package is staged): exactly the listed files, every folder open to
# every player, one version in the program and every file that names one,
# the desktop entry starts the installed program and
# shows an installed icon, the AppStream metadata names that entry and
# program and says what it says (name, summary, licence, addresses, release
# date) as the entry, the program, the copyright file and the changelog do,
# the manual page reads without a warning and describes the program's
# options, every icon has the size
# its folder says, and the record server's component installs a unit whose
# program is absolute and installed, whose working folder is its state
# folder, which systemd accepts, whose
# sandbox scores 2.0 or better in systemd's security check and fails none
# of its checks but those the server needs, and whose
# server, started as systemd starts it, serves the table from its state
# folder and stops cleanly.
#   installed_files_test.sh <cmake> <build folder>
set -uo pipefail

cmake=$1
build=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

DESTDIR=$stage "$cmake" --install "$build" >/dev/null || fail "the game does not install"
DESTDIR=$stage "$cmake" --install "$build" --component records >/dev/null || fail "the records component does not install"

# Exactly the files a package is made of, each with its permissions (paths
# under the prefix are written without it): a file in another place, under
# another name or closed to players shows here.
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
source=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$(cache CMAKE_INSTALL_PREFIX)
root=$stage$prefix
bindir=$(cache CMAKE_INSTALL_BINDIR)
expected=$(sed -e '/^#/d' -e "s| bin/| $bindir/|" "$(dirname "$0")/installed_files.txt" | sort -k2)
actual=$(find "$stage" -mindepth 1 ! -type d -printf '%m %P\n' | sed "s|^\([0-7]*\) ${prefix#/}/|\1 |" | sort -k2)
listed=$(diff <(echo "$expected") <(echo "$actual")) ||
  fail "the installed files are not those of installed_files.txt (<) but (>):
$listed"
# One version everywhere: the program's, the newest release of the metadata,
# the changelog's top entry and the manual page's footer.
about=$(QT_QPA_PLATFORM=offscreen "$root/$bindir/vortigo" --version)
version=$(sed -n '1s/^vortigo //p' <<<"$about")
for said in "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$root"/share/metainfo/*.metainfo.xml | head -n 1)" \
            "$(gzip -dc "$root/share/doc/vortigo/changelog.gz" | sed -n '1s/^vortigo (\(.*\)).*/\1/p')" \
            "$(gzip -dc "$root/share/man/man6/vortigo.6.gz" | sed -n 's/^\.TH .*"vortigo \([^"]*\)".*/\1/p')"; do
  [ -n "$version" ] && [ "$said" = "$version" ] || fail "version '$said' where the program says '$version'"
done
# Installed by root, played by anyone: every folder searchable.
closed=$(find "$stage" -mindepth 1 -type d ! -perm -005 -print -quit)
[ -z "$closed" ] || fail "the folder ${closed#"$stage"} is closed to other users"

# Every licence a Files paragraph of the copyright file names has its own
# paragraph, and no such paragraph goes unnamed.
licences() {
  awk -v inside="$1" '/^Files:/ { f = 1 } /^$/ { f = 0 } f == inside && /^License:/ {
    sub(/^License: */, ""); gsub(/ (and|or) /, "\n"); print }' "$root/share/doc/vortigo/copyright" | sort -u
}
[ "$(licences 1)" = "$(licences 0)" ] ||
  fail "the copyright file names the licences $(licences 1 | xargs) and gives $(licences 0 | xargs)"

# A program named by a desktop entry or a unit: absolute under the staging
# root, or a bare name in the installed bin folder.
installed_program() {
  case $1 in
    /*) [ -x "$stage$1" ] && [ -f "$stage$1" ] ;;
    *) [ -x "$root/$bindir/$1" ] ;;
  esac
}

entries=("$root"/share/applications/*.desktop)
[ -f "${entries[0]}" ] || fail "no desktop entry in share/applications"
for entry in "${entries[@]}"; do
  [ -f "$entry" ] || continue
  # Hints too: an entry without a main category lands in a catch-all menu.
  said=$(desktop-file-validate "$entry" 2>&1) && [ -z "$said" ] || fail "desktop-file-validate: $said"
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  installed_program "${exec_line%% *}" || fail "Exec=$exec_line names no installed program"
  # A window of its own: no terminal beside it.
  grep -q '^Terminal=true' "$entry" && fail "$entry opens a terminal beside the game"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  found=("$root"/share/icons/hicolor/*/apps/"$icon".png "$root"/share/icons/hicolor/scalable/apps/"$icon".svg)
  ls "${found[@]}" >/dev/null 2>&1 || fail "Icon=$icon is not installed in every form"
done

for metainfo in "$root"/share/metainfo/*.metainfo.xml; do
  [ -f "$metainfo" ] || { fail "no AppStream metadata in share/metainfo"; continue; }
  appstreamcli validate --no-net "$metainfo" >/dev/null || fail "$metainfo does not validate"
  id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
  [ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "$metainfo is not named for its id $id"
  launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
  [ "$launchable" = "$id.desktop" ] && [ -f "$root/share/applications/$launchable" ] ||
    fail "the metadata launches '$launchable', not the installed entry $id.desktop"
  for binary in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo"); do
    installed_program "$binary" || fail "the metadata provides $binary, which is not installed"
  done
  # A software centre and a menu show the same name and line, in English and Italian.
  entry=$root/share/applications/$id.desktop
  for pair in 'name|Name' 'summary|Comment' 'summary xml:lang="it"|Comment[it]'; do
    tag=${pair%%|*}
    key=${pair#*|}
    said=$(sed -n "s#.*<$tag>\(.*\)</${tag%% *}>.*#\1#p" "$metainfo" | head -n 1)
    [ -n "$said" ] && [ "$said" = "$(grep -F "$key=" "$entry" | sed -n "1s/^[^=]*=//p")" ] ||
      fail "the metadata's <$tag> '$said' is not the entry's $key"
  done
  # One licence: the program's, the metadata's and the copyright file's (in Debian's short name).
  licence=$(sed -n 's:.*<project_license>\(.*\)</project_license>.*:\1:p' "$metainfo")
  grep -qF "Licenza $licence:" <<<"$about" ||
    fail "the metadata's licence $licence is not the program's"
  debian=$(sed -n '/^Files: \*$/,/^$/s/^License: //p' "$root/share/doc/vortigo/copyright")
  [ "${licence/.0-or-later/+}" = "$debian" ] || fail "the metadata's licence $licence is $debian in the copyright file"
  # The home page and the screenshots are the configured addresses; every screenshot is one the
  # project keeps, and the newest release is dated as the changelog's top entry.
  [ "$(sed -n 's:.*<url type="homepage">\(.*\)</url>.*:\1:p' "$metainfo")" = "$(cache VORTIGO_HOMEPAGE)" ] ||
    fail "the metadata's home page is not VORTIGO_HOMEPAGE"
  for image in $(sed -n 's:.*<image>\(.*\)</image>.*:\1:p' "$metainfo"); do
    [[ $image == "$(cache VORTIGO_SCREENSHOTS_URL)"* && -f $source/docs/screenshots/${image##*/} ]] ||
      fail "the screenshot $image is not one of docs/screenshots under VORTIGO_SCREENSHOTS_URL"
  done
  released=$(sed -n 's/.*<release version="[^"]*" date="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
  changed=$(gzip -dc "$root/share/doc/vortigo/changelog.gz" | sed -n 's/^ -- .*>  //p' | head -n 1)
  [ -n "$released" ] && [ "$(date -ud "$changed" +%F)" = "$released" ] ||
    fail "the newest release is dated '$released', the changelog '$changed'"
done

page=$root/share/man/man6/vortigo.6.gz
if [ -f "$page" ]; then
  warnings=$(gzip -dc "$page" | groff -man -ww -z -Tutf8 2>&1)
  [ -z "$warnings" ] || fail "the manual page warns: $warnings"
  gzip -dc "$page" | grep -qE '^\.TH "?VORTIGO"? "?6"?' || fail "the manual page is not titled VORTIGO, section 6"
  # It describes the options the program takes, no more and no fewer.
  taken=$(QT_QPA_PLATFORM=offscreen "$root/$bindir/vortigo" --help | grep -oE -- '--[a-z-]+' | sort -u)
  described=$(gzip -dc "$page" | sed -n '/^\.SH OPTIONS/,/^\.SH /p' | grep -oE -- '(\\-){2}[a-z-]+' | sed 's/\\//g' | sort -u)
  [ -n "$taken" ] && [ "$taken" = "$described" ] || fail "the manual page describes options '$described', the program takes '$taken'"
else
  fail "no manual page at share/man/man6/vortigo.6.gz"
fi

for icon in "$root"/share/icons/hicolor/*/apps/*; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  kind=$(file -b "$icon")
  case $size in
    scalable) [[ $kind == *SVG* ]] || fail "$icon is $kind, not SVG" ;;
    *) [[ $kind == "PNG image data, ${size/x/ x }"* ]] || fail "$icon is $kind, not $size" ;;
  esac
done

units=$(find "$stage" -name '*.service')
[ -n "$units" ] || fail "the records component installs no systemd unit"
for unit in $units; do
  program=$(sed -n 's/^ExecStart=[-@:+!]*\([^ ]*\).*/\1/p' "$unit")
  [[ $program == /* ]] && installed_program "$program" || fail "$unit starts '$program', not an installed absolute path"
  # A host need not write the settings file: the unit starts without it. It
  # is /etc/default/ and the unit's name, where the unit's comment sends hosts.
  name=$(basename "$unit" .service)
  settings_file=$(sed -n 's/^EnvironmentFile=//p' "$unit")
  [ "$settings_file" = "-/etc/default/$name" ] || fail "$unit reads its settings from '$settings_file', not -/etc/default/$name"
  grep -q "^# /etc/default/$name\b" "$unit" || fail "$unit's comment does not name /etc/default/$name"
  # The server stays in the foreground until SIGTERM: systemd must not wait for a fork.
  type=$(sed -n 's/^Type=//p' "$unit")
  [[ ${type:-simple} =~ ^(simple|exec)$ ]] || fail "$unit is of Type=$type, but the server never forks"
  # The server listens on IPv4 or IPv6 and may reach PostgreSQL through its socket.
  families=" $(sed -n 's/^RestrictAddressFamilies=//p' "$unit") "
  for family in AF_INET AF_INET6 AF_UNIX; do
    [ "$families" = "  " ] || [[ $families == *" $family "* ]] || fail "$unit forbids $family, which the server needs"
  done
  # It works in a folder that exists when it starts: the state folder systemd makes for it.
  state=$(sed -n 's/^StateDirectory=//p' "$unit")
  workdir=$(sed -n 's/^WorkingDirectory=-\{0,1\}//p' "$unit")
  [ -z "$workdir" ] || [[ -n $state && $workdir == "%S/$state" ]] ||
    fail "$unit works in '$workdir', which is not its state folder %S/${state:-(none)}"
  # systemd checks the program on this machine: point it into the staging root.
  copy=$(mktemp -d)
  sed "s|^ExecStart=\([-@:+!]*\)/|ExecStart=\1$stage/|" "$unit" >"$copy/$(basename "$unit")"
  complaints=$(systemd-analyze verify --man=no "$copy/$(basename "$unit")" 2>&1) || fail "systemd refuses $unit"
  [ -z "$complaints" ] || fail "systemd-analyze verify on $unit: $complaints"
  # A host's "systemctl enable" makes it start at boot, with the other services.
  boot=$copy/root && mkdir -p "$boot/lib/systemd/system" && cp "$unit" "$boot/lib/systemd/system/"
  enabled=$(systemctl --root="$boot" enable "$(basename "$unit")" 2>&1) || fail "systemctl enable $unit: $enabled"
  [ -L "$boot/etc/systemd/system/multi-user.target.wants/$(basename "$unit")" ] ||
    fail "systemctl enable $unit does not start it at boot: $enabled"
  # The unit faces the internet: its sandbox must leave little exposed, and
  # nothing beyond what the server needs: the network and local sockets (for
  # PostgreSQL), the host's root folder and its mounts (read-only to it), the
  # clock device systemd leaves every service, and the resource calls of
  # @system-service.
  security=$(LC_ALL=C.UTF-8 systemd-analyze security --offline=yes "$copy/$(basename "$unit")" 2>&1)
  grep -q '^✓ ' <<<"$security" || fail "systemd-analyze security gave no checks: $security"
  exposure=$(sed -n 's/.*Overall exposure level for .*: \([0-9.]*\).*/\1/p' <<<"$security")
  awk -v e="${exposure:-99}" 'BEGIN { exit !(e <= 2.0) }' || fail "$unit exposure ${exposure:-unknown}, above 2.0"
  exposed=$(sed -n 's/^✗ \([^ ]*\).*/\1/p' <<<"$security" | grep -vxF -e 'PrivateNetwork=' -e 'IPAddressDeny=' \
    -e 'RestrictAddressFamilies=~AF_(INET|INET6)' -e 'RestrictAddressFamilies=~AF_UNIX' -e 'RootDirectory=/RootImage=' \
    -e 'PrivateMounts=' -e 'DeviceAllow=' -e 'SystemCallFilter=~@resources')
  [ -z "$exposed" ] || fail "$unit leaves exposed: $(echo $exposed)"
  rm -rf "$copy"
  # A server that fails is started again.
  [[ $(sed -n 's/^Restart=//p' "$unit") =~ ^(on-failure|on-abnormal|always)$ ]] || fail "$unit is not restarted when its server fails"
  # It starts on a host without PostgreSQL (its table is then a SQLite file): it may be ordered after
  # the database, never bound to it.
  binding=$(grep -E '^(Requires|Requisite|BindsTo|PartOf)=' "$unit") && fail "$unit depends on another unit: $binding"
  # Its own port is one a user without capabilities may take, as its user is.
  port=$(sed -n 's/^Environment=VORTIGO_RECORDS_PORT=//p' "$unit")
  [[ ${port:-8080} =~ ^[0-9]+$ ]] && ((${port:-8080} >= 1024)) ||
    fail "$unit listens on port $port, which its user may not take without a capability"
  # Started as systemd starts it, with nothing but its Environment= lines and a
  # host's setting (a free port) in its working folder: it serves the table,
  # keeps the database in its state folder and stops cleanly on KillSignal.
  run=$(mktemp -d)
  mkdir -p "$run/state/$state" "$run/root"
  # The state folder, /var/lib/<StateDirectory> (%S/...) on the host, is one of our own here.
  mapfile -t settings < <(sed -n -e "s|%S/|$run/state/|g" -e "s|/var/lib/|$run/state/|g" -e 's/^Environment=//p' "$unit")
  command=$(sed -n 's/^ExecStart=[-@:+!]*//p' "$unit")
  workdir=${workdir:-$run/root}
  # Its limit of open files is the unit's, or systemd's own (1024, up to
  # 524288), as far as this machine's own limit allows.
  files=$(sed -n 's/^LimitNOFILE=//p' "$unit")
  files=${files:-1024:524288} ceiling=$(ulimit -Hn)
  soft=${files%:*} hard=${files#*:}  # one number is both
  [ "$ceiling" = unlimited ] || { ((soft > ceiling)) && soft=$ceiling; ((hard > ceiling)) && hard=$ceiling; }
  (cd "${workdir//%S/$run/state}" && exec prlimit --nofile="$soft:$hard" \
    env -i PATH="$PATH" "${settings[@]}" VORTIGO_RECORDS_PORT=0 $stage$command) 2>"$run/log" &
  server=$!
  for _ in $(seq 100); do
    port=$(sed -n 's/.* porta \([0-9]*\).*/\1/p' "$run/log")
    [ -n "$port" ] || ! kill -0 $server 2>/dev/null && break
    sleep 0.1
  done
  status=
  if [ -n "$port" ] && exec 3<>"/dev/tcp/127.0.0.1/$port"; then
    printf 'GET / HTTP/1.0\r\nHost: localhost\r\n\r\n' >&3
    status=$(head -n 1 <&3 | tr -d '\r')
    exec 3>&-
  fi
  [[ $status == "HTTP/1."?" 200"* ]] || fail "$unit's server, started as systemd would, answers '$status': $(cat "$run/log")"
  [ -n "$(ls -A "$run/state/$state" 2>/dev/null)" ] || fail "$unit's server keeps no database in its state folder"
  # It faces the players: it listens on every interface, with room for all its connections.
  grep -qE "in ascolto su (0\.0\.0\.0|::) porta" "$run/log" || fail "$unit's server does not listen on every interface: $(cat "$run/log")"
  ! grep -q "al massimo" "$run/log" || fail "$unit's limit of open files cuts its connections: $(cat "$run/log")"
  signal=$(sed -n 's/^KillSignal=//p' "$unit")
  kill -s "${signal:-SIGTERM}" $server 2>/dev/null
  for _ in $(seq "$(sed -n 's/^TimeoutStopSec=\([0-9]*\)$/\1/p' "$unit" | grep . || echo 90)0"); do
    kill -0 $server 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL $server 2>/dev/null && fail "$unit's server is still running after ${signal:-SIGTERM} and TimeoutStopSec"
  wait $server || fail "$unit's server stops on ${signal:-SIGTERM} with status $?"
  rm -rf "$run"
done

[ "$failures" -eq 0 ] && echo "installed files agree"
exit $((failures > 0))
