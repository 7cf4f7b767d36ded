#!/usr/bin/env bash
# Fault-injection soak of unattended site-to-site runs (see bench/README.md).
#
#   bench/soak.sh [--quick] [--duration SECONDS] [--files N] [--seed N]
#                 [--build DIR] [--work DIR] [other bench/soak/soak.py options]
#
# Defaults: 600 s, 2000 files, seed 1, build directory ./build. --quick is a
# 60 s run over 200 files that checks the script itself. The work folder
# (servers' roots, every run's queue, output and result) is kept; its
# summary.json holds the figures. Exit status 1 when anything was found.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
work=""
args=()
quick=0
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --build) build="$2"; shift ;;
    --work) work="$2"; shift ;;
    *) args+=("$1") ;;
  esac
  shift
done
korvane="$build/src/korvane"
[ -x "$korvane" ] || { echo "no $korvane: run scripts/build.sh korvane first" >&2; exit 2; }
/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null ||
  { echo "pyftpdlib missing: run scripts/setup.sh" >&2; exit 2; }
[ -n "$work" ] || work="$(mktemp -d "${TMPDIR:-/tmp}/korvane-soak.XXXXXX")"
mkdir -p "$work"
if [ $quick = 1 ]; then
  # Earlier options win over these, later ones override them.
  args=(--duration 60 --files 200 --server-fault-gap 8 "${args[@]}")
fi
echo "soak work folder: $work" >&2
cmd=(/usr/bin/python3 "$root/bench/soak/soak.py" --korvane "$korvane" --work "$work" "${args[@]}")
# As root, a private mount namespace gives the target a small tmpfs of its
# own that vanishes with the run; elsewhere the proxy's 552 stands in.
if [ "$(id -u)" = 0 ] && unshare --mount --propagation private true 2>/dev/null; then
  exec unshare --mount --propagation private "${cmd[@]}"
fi
exec "${cmd[@]}" --no-tmpfs
