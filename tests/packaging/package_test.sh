#!/usr/bin/env bash
# Builds the Debian package from a build tree, unpacks it into a scratch root
# (dpkg -x) and checks what an installed copy gives: its files in the
# freedesktop places, a valid desktop entry and metainfo, dependencies found
# by dpkg-shlibdeps, and the installed program answering --version and --help
# and starting offscreen up to its first status line.
# Usage: package_test.sh BUILD_DIR [PACKAGE.deb]   (with a .deb: checks that one)
set -euo pipefail
build=$(cd "$1" && pwd)
given=${2:-}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/korvane-package.XXXXXX")
trap 'rm -rf -- "$tmp"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/setup.sh"
done

if [ -n "$given" ]; then
  deb=$(cd "$(dirname "$given")" && pwd)/$(basename "$given")
else
  if ! (cd "$build" && cpack -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    fail "cpack could not build the package"
  fi
  debs=("$tmp"/out/korvane_*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single .deb in $tmp/out"
  deb=${debs[0]}
fi
echo "built $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Dependencies computed from the binary: Qt's widget library among them.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
case "$depends" in *libqt6widgets6*) ;; *) fail "Depends lacks libqt6widgets6" ;; esac
version=$(dpkg-deb -f "$deb" Version)
description=$(dpkg-deb -f "$deb" Description)
grep -q '^ Files and whole directory trees' <<<"$description" && ! grep -q '[\\;]' <<<"$description" ||
  fail "the package's long description is garbled: $(dpkg-deb -f "$deb" Description)"

dpkg -x "$deb" "$tmp/root"
usr="$tmp/root/usr"
for f in bin/korvane share/korvane/help.html share/korvane/whatsnew.txt \
  share/applications/org.korvane.Korvane.desktop share/metainfo/org.korvane.Korvane.metainfo.xml \
  share/icons/hicolor/scalable/apps/korvane.svg share/icons/hicolor/16x16/apps/korvane.png \
  share/icons/hicolor/48x48/apps/korvane.png share/icons/hicolor/256x256/apps/korvane.png \
  share/man/man1/korvane.1.gz; do
  [ -f "$usr/$f" ] || fail "the package lacks /usr/$f"
done
# Every picture the help shows is in the package.
for image in $(grep -o 'src="[^"]*"' "$usr/share/korvane/help.html" | sed 's/^src="//; s/"$//'); do
  [ -f "$usr/share/korvane/$image" ] || fail "the help shows $image, which is not installed"
done
gzip -t "$usr/share/man/man1/korvane.1.gz" || fail "the manual page is not a valid gzip file"
[ -z "$(find "$tmp/root" -perm /022 ! -type l -print)" ] ||
  fail "files writable by group or others"

desktop-file-validate "$usr/share/applications/org.korvane.Korvane.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/org.korvane.Korvane.metainfo.xml" ||
  fail "appstreamcli validate"
grep -qx 'Exec=korvane %u' "$usr/share/applications/org.korvane.Korvane.desktop" ||
  fail "the desktop entry does not hand the address to the program"

# The installed program, with a home and data folder of its own.
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_RUNTIME_DIR="$tmp/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# --version and --help work without any display, as over ssh.
nodisplay=(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY timeout 60)
out=$("${nodisplay[@]}" "$usr/bin/korvane" --version) || fail "--version failed"
[ "$out" = "Korvane ${version%%-*}" ] || fail "--version printed \"$out\", the package is $version"
"${nodisplay[@]}" "$usr/bin/korvane" --help >"$tmp/help.txt" || fail "--help failed"
grep -q -- '--data-dir' "$tmp/help.txt" || fail "--help does not name --data-dir"

# A batch run naming no site shows the window, logs its first status line and
# ends by itself with exit code 1.
touch "$tmp/empty.kqf"
status=0
timeout 60 "$usr/bin/korvane" -platform offscreen --data-dir "$tmp/data" --queue "$tmp/empty.kqf" \
  --transfer --exit-when-done --log-stdout >"$tmp/stdout" 2>"$tmp/stderr" || status=$?
if [ $status -ne 1 ] || ! grep -q 'no site to connect' "$tmp/stderr"; then
  cat "$tmp/stdout" "$tmp/stderr" >&2
  fail "the installed program ended with $status instead of 1 (no site to connect)"
fi
first=$(head -n 1 "$tmp/stdout")
[ -n "$first" ] || fail "no status line on standard output"
echo "first status line: $first"
[ -f "$tmp/data/Korvane.ini" ] || [ -d "$tmp/data" ] || fail "no data folder"
[ ! -e "$usr/bin/Korvane.ini" ] || fail "settings written beside the installed program"
echo "package test passed"
