#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in ./build-fuzz and runs them.
# Usage: scripts/fuzz.sh [target|all] [seconds]   run each for that long (default 60)
#        scripts/fuzz.sh --runs N [target|all]    a fixed number of runs each (CI)
# Targets are fuzz/fuzz_<name>.cpp: reply listing queuefile ini sites history
# connect commands ident. New inputs go to build-fuzz/corpus/<name> (the seeds in
# fuzz/corpus/<name> stay as they are); a finding is saved to
# build-fuzz/findings/<name>/ and ends the run with a non-zero status.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KORVANE_FUZZ_BUILD_DIR:-$root/build-fuzz}"

runs=""
if [ "${1:-}" = "--runs" ]; then
  runs="$2"
  shift 2
fi
target="${1:-all}"
seconds="${2:-60}"

all=(reply listing queuefile ini sites history connect commands ident)
if [ "$target" = "all" ]; then
  targets=("${all[@]}")
else
  targets=("${target#fuzz_}")
fi

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g -DNDEBUG" \
    -DKORVANE_FUZZ=ON -DKORVANE_SANITIZE=address,undefined \
    -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_BENCH=OFF
fi
jobs="$(nproc)"
[ "$jobs" -gt 2 ] && jobs=2
cmake --build "$build" --parallel "$jobs" --target $(printf 'fuzz_%s ' "${targets[@]}")

# Qt is not instrumented; UBSan findings in our code stop the run like a crash.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export ASAN_OPTIONS="detect_leaks=1"
# The file readers save atomically (with fsync) on every input: keep their
# scratch files in memory when we can.
if [ -z "${TMPDIR:-}" ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
status=0
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for t in "${targets[@]}"; do
  seeds="$root/fuzz/corpus/$t"
  work="$build/corpus/$t"
  findings="$build/findings/$t"
  mkdir -p "$work" "$findings"
  if [ -n "$runs" ]; then
    # CI: the seeds, then a fixed number of mutations. libFuzzer writes new
    # inputs into the first directory: a scratch one, so nothing is kept.
    mkdir -p "$scratch/$t"
    limit=(-runs="$runs" -seed=1)
    dirs=("$scratch/$t" "$seeds")
  else
    limit=(-max_total_time="$seconds")
    dirs=("$work" "$seeds")
  fi
  echo "== fuzz_$t"
  if ! "$build/fuzz/fuzz_$t" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
      -print_final_stats=1 -artifact_prefix="$findings/" "${dirs[@]}" 2>"$build/fuzz_$t.log"; then
    status=1
    tail -n 40 "$build/fuzz_$t.log"
  fi
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec)|DONE|cov:' \
    "$build/fuzz_$t.log" | tail -n 3
done
exit $status
