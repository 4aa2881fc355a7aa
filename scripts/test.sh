#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite, on SQLite and (when the server can be
# started here) on a private PostgreSQL server too.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

pg_started=""
if [ -z "${KTR_TEST_PG:-}" ]; then
  if conn=$(bash scripts/pg-start.sh); then
    export KTR_TEST_PG="$conn"
    pg_started=1
  else
    echo "PostgreSQL non disponibile: i test del database girano solo su SQLite." >&2
  fi
fi
cleanup() { [ -n "$pg_started" ] && bash scripts/pg-stop.sh || true; }
trap cleanup EXIT

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The Debian package, unpacked into a scratch root, and the program run from there.
bash scripts/check-package.sh build

# A short fuzzing run of the definition reader and the amount parser (a longer one: scripts/fuzz.sh SECONDS).
bash scripts/fuzz.sh "${KTR_FUZZ_SECONDS:-25}"
