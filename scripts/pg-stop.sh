#!/usr/bin/env bash
# Stops the server started by pg-start.sh.
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -n "$bin" ] && [ -f /tmp/ktr-pg/data/postmaster.pid ] || exit 0
if [ "$(id -u)" -eq 0 ]; then su postgres -s /bin/sh -c "$bin/pg_ctl -D /tmp/ktr-pg/data stop -m fast"; else "$bin/pg_ctl" -D /tmp/ktr-pg/data stop -m fast; fi >/dev/null 2>&1
