#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Load run of vortigo-records (not a test). For a SQLite file and a throw-away
# PostgreSQL cluster, each holding 0, 10,000 and 1,000,000 records, wrk keeps
# 1, 16, 64, 256 and 1,000 loopback connections busy on one kind of request at a time:
# the world page "/", one language's page "/?lingua=2", and new submissions.
# Beside each page, the same bytes served from memory by a minimal server on
# the same HTTP layer (records_same_bytes: its pools and limits included), measured in the same run.
#
# The records spread over 401 scores and 4001 days, drawn independently (a
# score and a day seldom meet twice, as in life), and are written straight
# into the table in one transaction,
# without its ranking index, and the schema is marked as new: the server then
# makes the index and brings the database up to date as it would an old
# one's, and the time it took is printed.
#
#   bench/records_load.sh [build folder] [seconds per cell]
#   RECORDS_LOAD_SIZES="0 10000" RECORDS_LOAD_CONNECTIONS="16" RECORDS_LOAD_BACKENDS=SQLite ... to run fewer cells
#
# The build folder needs the bench targets: cmake -DVORTIGO_BUILD_BENCH=ON, then
# cmake --build BUILD --target vortigo-records records_same_bytes.
set -euo pipefail
# A thousand connections, on both ends of loopback.
ulimit -n 8192 2>/dev/null || true

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build}
seconds=${2:-3}
sizes=${RECORDS_LOAD_SIZES:-0 10000 1000000}
connections=${RECORDS_LOAD_CONNECTIONS:-1 16 64 256 1000}
backends=${RECORDS_LOAD_BACKENDS:-SQLite PostgreSQL}
server="$build/records/vortigo-records"
same="$build/bench/records_same_bytes"
for program in "$server" "$same"; do
  [ -x "$program" ] || { echo "build $(basename "$program") first ($program)" >&2; exit 1; }
done
# No cap on connections from one address: the load comes from one.
limits=(--rate-limit 0)
if "$server" --help | grep -q -- --max-per-client; then limits+=(--max-per-client 0); fi
for tool in wrk curl sqlite3 psql; do
  command -v $tool >/dev/null || { echo "$tool is needed" >&2; exit 1; }
done

work=$(mktemp -d)
chmod 755 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  "$root/tests/records/throwaway_postgres.sh" stop "$work/pg" || true
  rm -rf "$work"
}
trap cleanup EXIT

start() {  # name, program and its arguments; sets <name>_pid and <name>_port
  local name=$1 log="$work/$1.log" started
  shift
  : >"$log"
  "$@" 2>>"$log" &
  started=$!
  pids+=("$started")
  until grep -q "porta [0-9]" "$log"; do
    kill -0 "$started" 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.05
  done
  printf -v "${name}_pid" %s "$started"
  printf -v "${name}_port" %s "$(sed -n 's/.*porta \([0-9]*\).*/\1/p' "$log" | head -1)"
}
stop() {  # name
  local p="${1}_pid"
  kill "${!p}"
  wait "${!p}" || true
  local kept=() q
  for q in "${pids[@]}"; do [ "$q" = "${!p}" ] || kept+=("$q"); done
  pids=("${kept[@]}")
}

# CPU time used so far, in clock ticks, by the server and, when it runs,
# the PostgreSQL cluster (its postmaster and every process it started).
ticks=$(getconf CLK_TCK)
cpu_ticks() {  # pid of the server
  local pids=("$1") total=0 stat
  if [ -f "$work/pg/data/postmaster.pid" ]; then
    local postmaster
    postmaster=$(head -1 "$work/pg/data/postmaster.pid")
    pids+=("$postmaster" $(pgrep -P "$postmaster" || true))
  fi
  for p in "${pids[@]}"; do
    stat=$(cat "/proc/$p/stat" 2>/dev/null) || continue
    stat=${stat##*) }
    total=$((total + $(cut -d' ' -f12 <<<"$stat") + $(cut -d' ' -f13 <<<"$stat")))
  done
  echo "$total"
}

# One cell: wrk on a path (or the submission script); prints rate, p50, p99,
# failures, and CPU milliseconds per answered request (server and database).
measure() {  # server name, path [submission script, letter that starts its names]
  local script=() out before after requests pid port
  pid="${1}_pid" port="${1}_port"
  pid=${!pid} port=${!port}
  shift
  if [ -n "${2:-}" ]; then script=(-s "$2"); fi
  before=$(cpu_ticks "$pid")
  # wrk wants at least one connection per thread.
  out=$(RECORDS_LOAD_TAG=${3:-B} wrk --latency -t $((conns < 2 ? conns : 2)) -c "$conns" -d "${seconds}s" "${script[@]}" "http://127.0.0.1:$port$1")
  local rate p50 p99 bad
  rate=$(sed -n 's/^Requests\/sec: *\([0-9.]*\).*/\1/p' <<<"$out")
  p50=$(sed -n 's/^ *50% *\([0-9.]*[a-z]*\).*/\1/p' <<<"$out")
  p99=$(sed -n 's/^ *99% *\([0-9.]*[a-z]*\).*/\1/p' <<<"$out")
  bad=$( (grep -o "Non-2xx or 3xx responses: [0-9]*" <<<"$out" || true) | grep -o "[0-9]*$" || true)
  bad=${bad:-0}
  errors=$( (grep -o "Socket errors:.*" <<<"$out" || true) | sed 's/Socket errors: //; s/ //g')
  after=$(cpu_ticks "$pid")
  requests=$(sed -n 's/^ *\([0-9]*\) requests in.*/\1/p' <<<"$out")
  printf "%.0f %s %s %s %s" "$rate" "$p50" "$p99" "$bad${errors:+,$errors}" \
    "$(awk -v t=$((after - before)) -v n="$requests" -v hz="$ticks" 'BEGIN{printf "%.3f", n ? t * 1000 / hz / n : 0}')"
}

row() {  # backend records conns what rate p50 p99 failures cpu [baseline rate cpu]
  printf "%-10s %9s %5s  %-15s %8s/s %9s %9s  fail %-4s cpu %6sms" "$1" "$2" "$3" "$4" "$5" "$6" "$7" "$8" "$9"
  if [ -n "${10:-}" ]; then
    printf "  same bytes %8s/s cpu %6sms  rate ratio %s" "${10}" "${11}" "$(awk -v a="$5" -v b="${10}" 'BEGIN{printf "%.2f", a/b}')"
  fi
  printf "\n"
}

fill() {  # backend database records
  local records=$3
  case "$1" in
    SQLite)
      sqlite3 "$2" <<SQL
PRAGMA cache_size = -262144;
BEGIN;
DROP INDEX vortigo_records_ranking;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $records)
INSERT INTO vortigo_records (letters, name, played_on, played_at, points, round, note, email, language, received_us)
SELECT 'FIL', printf('F%07d', i), date('2015-01-01', '+' || ((i * 7919) % 4001) || ' days'),
       printf('%02d:%02d', (i * 31) % 24, (i * 37) % 60),
       ((i * 104729) % 401) * 50, 1 + i % 30, 'carico', '', 1 + i % 3, 1700000000000000 + i
FROM n;
UPDATE vortigo_schema SET version = 0;
COMMIT;
SQL
      ;;
    PostgreSQL)
      psql -q -v ON_ERROR_STOP=1 "$2" <<SQL
BEGIN;
DROP INDEX vortigo_records_ranking;
INSERT INTO vortigo_records (letters, name, played_on, played_at, points, round, note, email, language, received_us)
SELECT 'FIL', 'F' || lpad(i::text, 7, '0'), to_char(date '2015-01-01' + ((i * 7919) % 4001)::int, 'YYYY-MM-DD'),
       lpad(((i * 31) % 24)::text, 2, '0') || ':' || lpad(((i * 37) % 60)::text, 2, '0'),
       ((i * 104729) % 401) * 50, 1 + i % 30, 'carico', '', 1 + i % 3, 1700000000000000 + i
FROM generate_series(1::bigint, $records) AS i;
UPDATE vortigo_schema SET version = 0;
COMMIT;
SQL
      ;;
  esac
}

echo "vortigo-records load run: ${seconds}s per cell, wrk -t 2 (-t 1 for one connection); rate ratio = rate / same bytes from memory;"
echo "cpu = CPU time of the server and the database per answered request"
pg_url=
declare -A submitted=() page_ratio=()
for backend in $backends; do
  for records in $sizes; do
    if [ "$backend" = SQLite ]; then
      database="$work/records-$records.sqlite"
    else
      [ -n "$pg_url" ] || pg_url=$("$root/tests/records/throwaway_postgres.sh" start "$work/pg")
      psql -q "$pg_url" -c "CREATE DATABASE r$records"
      database=${pg_url/\/postgres\?//r$records?}
    fi
    # The server makes the tables, the records go in, the server starts again on them.
    start records "$server" --port 0 "${limits[@]}" --database "$database"
    stop records
    if [ "$records" -gt 0 ]; then
      begun=$(date +%s.%N)
      fill "$backend" "$database" "$records"
      filled=$(date +%s.%N)
      start records "$server" --port 0 "${limits[@]}" --database "$database"
      echo "== $backend, $records records: filled in $(awk -v a="$begun" -v b="$filled" 'BEGIN{printf "%.1f", b-a}')s," \
           "brought up to date by the server in $(awk -v a="$filled" -v b="$(date +%s.%N)" 'BEGIN{printf "%.1f", b-a}')s"
      # What autovacuum would soon do on its own, done before measuring rather than during.
      if [ "$backend" = PostgreSQL ]; then psql -q "$database" -c "VACUUM ANALYZE"; fi
    else
      start records "$server" --port 0 "${limits[@]}" --database "$database"
      echo "== $backend, empty table"
    fi
    curl -s "http://127.0.0.1:$records_port/" >"$work/all.html"
    curl -s "http://127.0.0.1:$records_port/?lingua=2" >"$work/english.html"
    start same_all "$same" "$work/all.html"
    start same_english "$same" "$work/english.html"
    # Each page cell right beside its same-bytes cell, so both meet the
    # same weather on a shared machine.
    declare -A result=()
    for conns in $connections; do
      result[all-$conns]=$(measure records "/")
      result[same-all-$conns]=$(measure same_all "/")
      result[english-$conns]=$(measure records "/?lingua=2")
      result[same-english-$conns]=$(measure same_english "/")
    done
    stop same_all
    stop same_english
    tags=(A B C D E)
    index=0
    for conns in $connections; do
      result[submit-$conns]=$(measure records "/" "$root/bench/records_load.lua" "${tags[index++]}")
    done
    stop records
    for conns in $connections; do
      # shellcheck disable=SC2086
      row "$backend" "$records" "$conns" "GET /" ${result[all-$conns]} $(cut -d' ' -f1,5 <<<"${result[same-all-$conns]}")
      # shellcheck disable=SC2086
      row "$backend" "$records" "$conns" "GET /?lingua=2" ${result[english-$conns]} \
        $(cut -d' ' -f1,5 <<<"${result[same-english-$conns]}")
      # shellcheck disable=SC2086
      row "$backend" "$records" "$conns" "submission" ${result[submit-$conns]}
      submitted[$backend-$records-$conns]=${result[submit-$conns]}
      read -r rate _ _ _ cpu <<<"${result[all-$conns]}"
      read -r same_rate _ _ _ same_cpu <<<"${result[same-all-$conns]}"
      page_ratio[$backend-$records-$conns]=$(awk -v a="$rate" -v b="$same_rate" -v c="$cpu" -v d="$same_cpu" \
        'BEGIN{printf "rate %.2f, cpu %.2f", a/b, (c > 0) ? d/c : 0}')
    done
    unset result
  done
done

# The two targets, as ratios within this run: a submission on the largest
# table against one on the first (here empty) table, by rate and by CPU; and
# "GET /" against the same bytes from memory.
first=${sizes%% *}
last=${sizes##* }
echo "== submission on $last records against $first records (how many times slower; how many times the cpu)," \
     "and GET / on $last records as a share of the same bytes (rate; cpu per request, same bytes / server)"
for backend in $backends; do
  for conns in $connections; do
    read -r rate0 _ _ _ cpu0 <<<"${submitted[$backend-$first-$conns]}"
    read -r rate1 _ _ _ cpu1 <<<"${submitted[$backend-$last-$conns]}"
    printf "%-10s %5s connections: submission %s times slower, %s times the cpu; GET / against the same bytes: %s\n" \
      "$backend" "$conns" "$(awk -v a="$rate0" -v b="$rate1" 'BEGIN{printf "%.2f", b ? a/b : 0}')" \
      "$(awk -v a="$cpu0" -v b="$cpu1" 'BEGIN{printf "%.2f", (a > 0) ? b/a : 0}')" "${page_ratio[$backend-$last-$conns]}"
  done
done
