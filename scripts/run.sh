#!/usr/bin/env bash
# Sets up everything on Debian 12, builds Korvane and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" korvane
exe="${KORVANE_BUILD_DIR:-$root/build}/src/korvane"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Korvane inside a virtual X server (xvfb-run)."
  exec xvfb-run -a "$exe" "$@"
fi
exec "$exe" "$@"
