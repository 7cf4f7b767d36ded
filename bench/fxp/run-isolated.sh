#!/usr/bin/env bash
# Runs bench_fxp against the vsftpd and pure-ftpd of scripts/ftp-servers.sh
# inside private namespaces: a loopback and a copy of /etc of its own. Every
# start of that script renews the one test account's password and uses the
# same addresses, so on a machine where others have those servers running,
# a plain start would break their runs (and theirs ours). Root needed.
#
#   bench/fxp/run-isolated.sh BUILD_DIR [bench_fxp arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:?usage: $0 BUILD_DIR [bench_fxp arguments...]}"
shift
bench="$(cd "$build" && pwd)/bench/fxp/bench_fxp"
[ -x "$bench" ] || { echo "no $bench: build the bench_fxp target first" >&2; exit 1; }

inside=$(cat <<'INSIDE'
set -euo pipefail
root=$1 bench=$2
shift 2
ip link set lo up
etc=$(mktemp -d "${TMPDIR:-/tmp}/korvane-fxp-etc.XXXXXX")
cp -a /etc/. "$etc/"
mount --bind "$etc" /etc
export KORVANE_FTP_BASE="$etc.servers"
cleanup() {
  "$root/scripts/ftp-servers.sh" stop || true
  umount /etc || true
  rm -rf "$etc"
}
trap cleanup EXIT
eval "$("$root/scripts/ftp-servers.sh" start)"
export KORVANE_TEST_FTP_A KORVANE_TEST_FTP_B
export KORVANE_BENCH_FXP_ROOT_A="$KORVANE_FTP_BASE/vsftpd/root/test"
export KORVANE_BENCH_FXP_ROOT_B="$KORVANE_FTP_BASE/pure-ftpd/root/test"
"$bench" "$@" </dev/null
INSIDE
)
exec unshare --mount --net bash -c "$inside" bash "$root" "$bench" "$@"
