#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the benchmarks with repetitions and prints, for each, the median
# wall time and the median time on the processor of the benchmark's own
# thread (less disturbed by other work on a shared machine), each with its
# ratio to the same median of its baseline from the same run:
# puzzle figures against a plain random fill of the same grid, the clock
# against one reading of the system clock, drawing figures against one
# full frame of a bare window of the same size. The drawing is measured at
# device-pixel ratios 1 and 2.
#
#   bench/run_benchmarks.sh [build-folder] [repetitions]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
reps=${2:-7}
bench=${VORTIGO_BENCH:-$build/bench/vortigo_bench}  # another build of it may be compared
[ -x "$bench" ] || { echo "no $bench: build the target vortigo_bench first" >&2; exit 1; }

run() {
  local dpr=$1 filter=$2
  "$bench" --dpr="$dpr" --benchmark_filter="$filter" --benchmark_repetitions="$reps" --benchmark_min_time=0.1 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, -v dpr="$dpr" '
    function ns(v, unit) { return unit == "us" ? v * 1e3 : unit == "ms" ? v * 1e6 : unit == "s" ? v * 1e9 : v }
    /_median"?,/ {
      name = $1; gsub(/"/, "", name); sub(/_median$/, "", name)
      t[name] = ns($3, $5); c[name] = ns($4, $5); order[++n] = name
    }
    function baseline(name,   arg) {
      if (name ~ /^Clock_/) return "Baseline_SystemClock"
      if (name ~ /^(Puzzle|Reference)_/) { arg = name; sub(/^[^\/]*/, "", arg); return "Baseline_RandomFill" arg }
      if (name ~ /^(Draw|Screen)_/) return "Baseline_BareFrame"
      return ""
    }
    function shown(v) { return v >= 1e6 ? sprintf("%.2f ms", v / 1e6) : v >= 1e3 ? sprintf("%.2f us", v / 1e3) : sprintf("%.1f ns", v) }
    function ratio(v, base) { return base > 0 ? sprintf("%.2f", v / base) : "-" }
    END {
      printf "%-30s %4s %12s %10s %12s %10s\n", "benchmark", "dpr", "wall", "x base", "cpu", "x base"
      for (i = 1; i <= n; ++i) {
        name = order[i]; b = baseline(name)
        printf "%-30s %4s %12s %10s %12s %10s\n", name, dpr, shown(t[name]), (b == "" ? "-" : ratio(t[name], t[b])),
               shown(c[name]), (b == "" ? "-" : ratio(c[name], c[b]))
      }
    }'
}

run 1 '.'
run 2 'Baseline_BareFrame|Draw_|Screen_'
