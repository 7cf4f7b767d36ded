#!/usr/bin/env bash
# Builds Korvane's Debian package: installs what is missing, builds ./build,
# packs it with CPack (dependencies found by dpkg-shlibdeps) into ./dist, then
# checks the package: unpacked into a scratch root, desktop entry and metainfo
# validated, the installed program started offscreen.
# Install it with: sudo apt install ./dist/korvane_*.deb
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KORVANE_BUILD_DIR:-$root/build}"
dist="$root/dist"

"$root/scripts/setup.sh"
# What the package holds; cpack itself builds nothing.
"$root/scripts/build.sh" korvane korvane_manpage
rm -rf "$dist"
mkdir -p "$dist"
(cd "$build" && cpack -G DEB -B "$dist")
rm -rf "$dist/_CPack_Packages"
debs=("$dist"/korvane_*.deb)
bash "$root/tests/packaging/package_test.sh" "$build" "${debs[0]}"
echo "Package: ${debs[0]}"
