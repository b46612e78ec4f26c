#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Load run of vortigo-records (not a test): wrk keeps N loopback connections
# busy for a fixed time, one request in four a new submission and the rest
# table reads, first against a SQLite file, then against a throw-away
# PostgreSQL cluster. Prints requests per second and latency percentiles.
#
#   bench/records_load.sh [build folder] [seconds] [connections]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-10}
connections=${3:-16}
server="$build/records/vortigo-records"
[ -x "$server" ] || { echo "build vortigo-records first ($server)" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk is needed (Debian package wrk)" >&2; exit 1; }

work=$(mktemp -d)
chmod 755 "$work"
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  "$root/tests/records/throwaway_postgres.sh" stop "$work/pg" || true
  rm -rf "$work"
}
trap cleanup EXIT

run() {  # label, database
  "$server" --port 0 --rate-limit 0 --database "$2" 2>"$work/server.log" &
  pid=$!
  until grep -q "in ascolto" "$work/server.log"; do
    kill -0 "$pid" 2>/dev/null || { cat "$work/server.log" >&2; exit 1; }
    sleep 0.1
  done
  port=$(sed -n 's/.*porta \([0-9]*\).*/\1/p' "$work/server.log" | head -1)
  echo "== $1: $connections connections, ${seconds}s"
  wrk --latency -t 2 -c "$connections" -d "${seconds}s" -s "$root/bench/records_load.lua" "http://127.0.0.1:$port/" |
    grep -E "Requests/sec|^ +(50|90|99)%|requests in|Non-2xx"
  kill "$pid"
  wait "$pid" || true
  pid=
  echo "   stored: $(grep -c ' GET /vortigo.asp 200 ' "$work/server.log") submissions answered"
}

run SQLite "$work/records.sqlite"
url=$("$root/tests/records/throwaway_postgres.sh" start "$work/pg")
run PostgreSQL "$url"
