#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A PostgreSQL cluster of its own in a fresh folder, reachable only through a
# socket in that folder: for the record server's tests and load runs.
#
#   throwaway_postgres.sh start DIR   prints the connection URL for vortigo-records
#   throwaway_postgres.sh stop DIR    stops it (DIR can then be removed)
#   throwaway_postgres.sh resume DIR  starts a stopped one again
#
# PostgreSQL refuses to run as root; as root the cluster belongs to the
# "postgres" user that Debian's package creates.
set -euo pipefail

mode=${1:?start or stop}
dir=${2:?folder}
bin=${VORTIGO_PG_BIN:-/usr/lib/postgresql/15/bin}

as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  as_owner=(runuser -u postgres --)
fi

# No TCP at all: the socket lives in the folder, so clusters never collide.
run_cluster() {
  "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-c listen_addresses='' -k $dir -c max_connections=100" start >/dev/null ||
    { cat "$dir/server.log" >&2; exit 1; }
}

case "$mode" in
  start)
    [ -x "$bin/initdb" ] || { echo "no PostgreSQL in $bin (Debian package postgresql-15)" >&2; exit 1; }
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$dir"; fi
    "${as_owner[@]}" "$bin/initdb" -D "$dir/data" -U vortigo -A trust -E UTF8 --locale=C >"$dir/initdb.log" 2>&1 ||
      { cat "$dir/initdb.log" >&2; exit 1; }
    run_cluster
    echo "postgresql://vortigo@/postgres?host=$dir"
    ;;
  resume)
    run_cluster
    ;;
  stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
      "${as_owner[@]}" "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null
    fi
    ;;
  *) echo "usage: $0 start|stop|resume DIR" >&2; exit 2 ;;
esac
