#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite, on SQLite and (when the server can be
# started here) on a private PostgreSQL server too. Ends by saying how many tests were
# skipped and why.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

pg_started=""
if [ -z "${KTR_TEST_PG:-}" ]; then
  if conn=$(bash scripts/pg-start.sh); then
    export KTR_TEST_PG="$conn"
    pg_started=1
  else
    # The tests of the PostgreSQL database are skipped, and say why.
    export KTR_TEST_PG_MOTIVO="il server di prova non si è potuto avviare (scripts/pg-start.sh)"
    echo "PostgreSQL non disponibile: $KTR_TEST_PG_MOTIVO; i test su PostgreSQL saranno saltati." >&2
  fi
fi

# ctest counts the skipped tests but does not say why: the reason is the line gtest prints
# after "Skipped" in each test's output.
ctest_log=build/Testing/Temporary/LastTest.log
ctest_run=""
saltati() {
  [ -n "$ctest_run" ] && [ -f "$ctest_log" ] || return 0
  local n
  n=$(grep -c '^Skip regular expression found in output' "$ctest_log" || true)
  echo "Test saltati: $n"
  awk '/: Skipped$/ { getline; if ($0 ~ /^\[  SKIPPED \]/) $0 = "(nessun motivo indicato)"; print }' "$ctest_log" |
    sort | uniq -c | sed -E 's/^ *([0-9]+) /  \1: /'
}
cleanup() {
  saltati
  [ -n "$pg_started" ] && bash scripts/pg-stop.sh || true
}
trap cleanup EXIT

export QT_QPA_PLATFORM=offscreen
ctest_run=1
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The Debian package, unpacked into a scratch root, and the program run from there.
bash scripts/check-package.sh build

# A short fuzzing run of the definition reader and the amount parser (a longer one: scripts/fuzz.sh SECONDS).
bash scripts/fuzz.sh "${KTR_FUZZ_SECONDS:-25}"
