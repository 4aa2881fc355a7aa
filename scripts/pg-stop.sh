#!/usr/bin/env bash
# Stops the server that pg-start.sh started for this checkout.
cd "$(dirname "$0")/.."
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
data=$(pwd)/build-pg/data
[ -n "$bin" ] && [ -f "$data/postmaster.pid" ] || exit 0
if [ "$(id -u)" -eq 0 ]; then su postgres -s /bin/sh -c "$bin/pg_ctl -D $data stop -m fast"; else "$bin/pg_ctl" -D "$data" stop -m fast; fi >/dev/null 2>&1
