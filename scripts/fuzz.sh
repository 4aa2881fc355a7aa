#!/usr/bin/env bash
# Builds the fuzzers (clang, libFuzzer, AddressSanitizer, UBSan) into ./build-fuzz and runs
# each one for the given number of seconds (default 25) from the seed corpus kept in
# tests/fuzz/corpus. New inputs go to a scratch folder; a crash stops with its input saved.
#   bash scripts/fuzz.sh            # the short run of the test command
#   bash scripts/fuzz.sh 1800       # a longer run, half an hour per fuzzer
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-25}
if ! command -v clang++ >/dev/null; then
  echo "clang++ non disponibile: fuzzing saltato." >&2
  exit 0
fi
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKTR_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
mkdir -p build-fuzz/crash
for name in definizione importi; do
  scratch=$(mktemp -d)
  log=build-fuzz/fuzz_$name.log
  set +e
  ./build-fuzz/tests/fuzz/fuzz_$name -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=build-fuzz/crash/ \
    "$scratch" "tests/fuzz/corpus/$name" >"$log" 2>&1
  status=$?
  set -e
  rm -rf "$scratch"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz_$name: ${seconds} s, ${runs:-0} esecuzioni, esito $status"
  if [ "$status" -ne 0 ]; then
    grep -E '^(==[0-9]+==|SUMMARY|.*runtime error)' "$log" | head -n 20 >&2 || true
    echo "fuzz_$name: errore (input in build-fuzz/crash/)" >&2
    exit 1
  fi
done
