#!/usr/bin/env bash
# Sets up everything on Debian 12, builds Korvane and runs the whole test suite.
# Usage: scripts/test.sh [--sanitize | --tsan | --ci] [ctest arguments...]
#   (none)      the suite in ./build; arguments go to ctest (-L unit, -R FtpSession)
#   --sanitize  the suite built with AddressSanitizer and UBSan, in ./build-asan
#   --tsan      the duplicate-filter tests (the one worker thread) under
#               ThreadSanitizer, in ./build-tsan
#   --ci        what CI runs: the suite, every fuzz target for a fixed number
#               of runs, then the sanitized suite
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mode=""
case "${1:-}" in
  --sanitize | --tsan | --ci) mode="$1"; shift ;;
esac
"$root/scripts/setup.sh"

# Configures (once) and builds a sanitized tree: dir, sanitizers, [targets...].
# -O1 keeps the build short and the reports' stacks readable.
sanitized_build() {
  local dir="$1" sanitizers="$2"
  shift 2
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" \
      -DKORVANE_SANITIZE="$sanitizers" -DKORVANE_BUILD_BENCH=OFF
  fi
  local jobs
  jobs="$(nproc)"
  [ "$jobs" -gt 2 ] && jobs=2
  cmake --build "$dir" --parallel "$jobs" ${1:+--target "$@"}
}

case "$mode" in
  --sanitize)
    build="${KORVANE_ASAN_BUILD_DIR:-$root/build-asan}"
    sanitized_build "$build" address,undefined
    cd "$build"
    ctest --output-on-failure --timeout 900 "$@"
    ;;
  --tsan)
    build="${KORVANE_TSAN_BUILD_DIR:-$root/build-tsan}"
    sanitized_build "$build" thread test_dupes_filter
    cd "$build"
    ctest --output-on-failure --timeout 900 -R '^test_dupes_filter$' "$@"
    ;;
  *)
    "$root/scripts/build.sh"
    build="${KORVANE_BUILD_DIR:-$root/build}"
    (cd "$build" && ctest --output-on-failure --timeout 600 "$@")
    if [ "$mode" = "--ci" ]; then
      "$root/scripts/fuzz.sh" --runs 10000 all
      "$root/scripts/test.sh" --sanitize "$@"
    fi
    ;;
esac
