#!/usr/bin/env bash
# Sets up everything on Debian 12, builds Korvane and runs the whole test suite.
# Extra arguments go to ctest (for example: -L unit, -R FtpSession).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${KORVANE_BUILD_DIR:-$root/build}"
cd "$build"
ctest --output-on-failure --timeout 600 "$@"
