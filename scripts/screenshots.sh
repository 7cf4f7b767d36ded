#!/usr/bin/env bash
# Takes the help's screenshots (docs/screenshots/*.png) from the real windows
# under a virtual X server: two demo FTP servers with scripts/run.sh's sample
# files, the main window connected to both, a site-to-site copy, the dialogs.
# Run it after changing what these windows show, and commit the pictures.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KORVANE_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" help_screenshots
out=$(mktemp -d "${TMPDIR:-/tmp}/korvane-shots.XXXXXX")
trap 'rm -rf -- "$out"' EXIT
# The X platform, not offscreen: the pictures show what a desktop shows.
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
  "$build/tests/help_screenshots/help_screenshots" "$out"
mkdir -p "$root/docs/screenshots"
cp "$out"/*.png "$root/docs/screenshots/"
ls -l "$root/docs/screenshots"
