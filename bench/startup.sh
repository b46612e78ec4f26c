#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the game against a bare Qt widgets window built by this
# project (bench/bare_window.cpp), on an X server of its own (Xvfb):
#   - time to the first frame: from the launch to the first picture that
#     reaches a mapped window, as noted inside the program by the preloaded
#     probe bench/first_frame_probe.cpp;
#   - resident memory once idle: VmRSS two seconds after that frame.
# The two programs run in turn, after one warm-up run each; the script
# prints every run, the medians and the ratios game / bare.
#
#   bench/startup.sh [build-folder] [runs]        (needs Xvfb: apt-get install xvfb)
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
runs=${2:-9}
game=${VORTIGO_GAME:-$build/vortigo}  # another build of the game may be compared
bare=$build/bench/vortigo_bare_window
probe=$build/bench/libfirst_frame_probe.so
for f in "$game" "$bare" "$probe"; do
  [ -e "$f" ] || { echo "missing $f: build the game and the bench targets first" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is needed (apt-get install xvfb)" >&2; exit 1; }

display_number=$((200 + RANDOM % 300))
Xvfb ":$display_number" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 200); do [ -e "/tmp/.X11-unix/X$display_number" ] && break; sleep 0.05; done

# One run: prints "<milliseconds to the first frame> <resident KiB once idle>".
measure() {
  local program=$1 file pid start frame rss
  file=$(mktemp)
  start=$EPOCHREALTIME
  DISPLAY=":$display_number" FIRST_FRAME_FILE="$file" LD_PRELOAD="$probe" "$program" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 20000); do [ -s "$file" ] && break; sleep 0.001; done
  sleep 2
  rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  frame=$(awk '{ print $2 }' "$file")
  rm -f "$file"
  awk -v a="$start" -v b="${frame:-0}" -v r="$rss" 'BEGIN { printf "%.1f %d\n", (b > 0 ? (b - a) * 1000 : -1), r }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure "$bare" >/dev/null
measure "$game" >/dev/null
results=$(mktemp)
for i in $(seq "$runs"); do
  read -r bt bm < <(measure "$bare")
  read -r gt gm < <(measure "$game")
  echo "run $i: bare ${bt} ms ${bm} KiB, game ${gt} ms ${gm} KiB"
  echo "$bt $bm $gt $gm" >>"$results"
done
bt=$(awk '{ print $1 }' "$results" | median)
bm=$(awk '{ print $2 }' "$results" | median)
gt=$(awk '{ print $3 }' "$results" | median)
gm=$(awk '{ print $4 }' "$results" | median)
pt=$(awk '{ print $3 / $1 }' "$results" | median)
pm=$(awk '{ print $4 / $2 }' "$results" | median)
rm -f "$results"
printf 'first frame  median: bare %8.1f ms   game %8.1f ms   game/bare %.2f (median of pairs %.2f)\n' "$bt" "$gt" \
  "$(awk -v a="$gt" -v b="$bt" 'BEGIN { print a / b }')" "$pt"
printf 'idle memory  median: bare %8.1f MiB  game %8.1f MiB  game/bare %.2f (median of pairs %.2f)\n' \
  "$(awk -v a="$bm" 'BEGIN { print a / 1024 }')" "$(awk -v a="$gm" 'BEGIN { print a / 1024 }')" \
  "$(awk -v a="$gm" -v b="$bm" 'BEGIN { print a / b }')" "$pm"
