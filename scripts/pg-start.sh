#!/usr/bin/env bash
# Starts a throw-away PostgreSQL server for this checkout (folder build-pg/, a unix socket
# there and no TCP port, so checkouts side by side never meet) and prints the connection
# parameters for the tests. Fails quietly when the server cannot be started here.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -n "$bin" ] || exit 1
dir=$(pwd)/build-pg
port=55432
run() { if [ "$(id -u)" -eq 0 ]; then su postgres -s /bin/sh -c "$*"; else sh -c "$*"; fi; }
user=$( [ "$(id -u)" -eq 0 ] && echo postgres || id -un )
if [ -f "$dir/data/postmaster.pid" ]; then run "$bin/pg_ctl -D $dir/data stop -m fast" >/dev/null 2>&1 || true; fi
rm -rf "$dir"
mkdir -p "$dir"
[ "$(id -u)" -eq 0 ] && chown postgres "$dir"
run "$bin/initdb -D $dir/data -A trust -U $user -E UTF8 --locale=C" >/dev/null 2>&1
run "$bin/pg_ctl -D $dir/data -l $dir/log -w -o \"-p $port -k $dir -c listen_addresses=''\" start" >/dev/null 2>&1
run "$bin/createdb -h $dir -p $port -U $user ktrtest" >/dev/null 2>&1
echo "host=$dir port=$port dbname=ktrtest user=$user"
