#!/usr/bin/env bash
# Starts or stops two C FTP servers on loopback for the integration tests and
# the transfer benchmark: vsftpd on 127.0.0.2 and pure-ftpd on 127.0.0.3.
#
#   scripts/ftp-servers.sh start [dir]   installs what is missing, starts both
#                                        servers and prints two export lines:
#                                          export KORVANE_TEST_FTP_A=ftp://...:PORT/dir/
#                                          export KORVANE_TEST_FTP_B=ftp://...:PORT/dir/
#                                        (dir: the writable directory, default "test")
#   scripts/ftp-servers.sh stop          stops both and removes their files
#
# Use as: eval "$(scripts/ftp-servers.sh start)"
# Root, or sudo, is needed: the script installs vsftpd with apt-get (its
# daemon kept from starting and disabled), unpacks pure-ftpd from its Debian
# package (the two packages conflict), adds a system user and a PAM service.
# Everything (configuration, server roots, logs, pid files) lives under
# $KORVANE_FTP_BASE, default ${TMPDIR:-/tmp}/korvane-ftp-servers; a new start
# stops the servers of the previous one first. Both servers accept one local
# user (korvane, new random password at every start), passive and active mode,
# and PORT to another host's address so that they can copy site to site.
set -euo pipefail

BASE="${KORVANE_FTP_BASE:-${TMPDIR:-/tmp}/korvane-ftp-servers}"
FTP_USER=korvane
ADDR_A=127.0.0.2
ADDR_B=127.0.0.3
# Passive ranges apart from each other and from the usual ephemeral ports.
PASV_A=(40100 40199)
PASV_B=(40200 40299)
PAM_SERVICE=korvane-ftp-test

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

say() { echo "ftp-servers: $*" >&2; }
die() { say "$*"; exit 1; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

APT_UPDATED=""
apt_install() { # packages...
  local missing=() p
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  if [ -z "$APT_UPDATED" ]; then
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2 || die "apt-get update failed"
    APT_UPDATED=1
  fi
  # The packages would start their own daemons on port 21; a policy file
  # that answers "not allowed" keeps them from starting during the install.
  local policy=/usr/sbin/policy-rc.d made_policy="" status=0
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
    $SUDO chmod 755 "$policy"
    made_policy=1
  fi
  $SUDO env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}" >&2 || status=$?
  [ -z "$made_policy" ] || $SUDO rm -f "$policy"
  [ $status -eq 0 ] || die "apt-get install failed ($status)"
}

# Debian's vsftpd and pure-ftpd both conflict with any other ftp-server, so
# only one can be installed; the other is unpacked from its Debian package
# into $UNPACKED (its libraries are installed normally).
UNPACKED=/opt/korvane-ftp-servers
unpacked_binary() { # package binary
  local dir="$UNPACKED/$1" tmp
  if [ ! -x "$dir$2" ]; then
    say "unpacking the Debian package $1 into $dir"
    if [ -z "$APT_UPDATED" ]; then
      $SUDO apt-get update -q >&2 || die "apt-get update failed"
      APT_UPDATED=1
    fi
    tmp=$(mktemp -d)
    chmod 755 "$tmp"
    (cd "$tmp" && $SUDO apt-get download -q "$1" >&2) || die "apt-get download $1 failed"
    $SUDO mkdir -p "$dir"
    $SUDO dpkg-deb -x "$tmp"/"$1"_*.deb "$dir"
    $SUDO rm -rf "$tmp"
  fi
  echo "$dir$2"
}

install_packages() {
  if installed vsftpd || ! installed pure-ftpd; then
    apt_install vsftpd
    VSFTPD=/usr/sbin/vsftpd
  else
    apt_install libwrap0 libcap2 libpam0g libpam-modules libssl3
    VSFTPD=$(unpacked_binary vsftpd /usr/sbin/vsftpd)
  fi
  if installed pure-ftpd; then
    PURE_FTPD=/usr/sbin/pure-ftpd
    PURE_PW=/usr/bin/pure-pw
  else
    apt_install libsodium23 libcrypt1 libcap2 libpam0g libssl3
    PURE_FTPD=$(unpacked_binary pure-ftpd /usr/sbin/pure-ftpd)
    PURE_PW="$UNPACKED/pure-ftpd/usr/bin/pure-pw"
  fi
  disable_system_services
}

# Keeps the packaged daemons off port 21, now and after a reboot.
disable_system_services() {
  local s
  for s in vsftpd pure-ftpd; do
    installed "$s" || continue
    if command -v systemctl >/dev/null; then
      $SUDO systemctl disable "$s" >/dev/null 2>&1 || true
    fi
    if [ -d /run/systemd/system ]; then
      $SUDO systemctl stop "$s" >/dev/null 2>&1 || true
    else
      if [ -x "/etc/init.d/$s" ]; then
        $SUDO "/etc/init.d/$s" stop >/dev/null 2>&1 || true
      fi
      $SUDO update-rc.d "$s" disable >/dev/null 2>&1 || true
    fi
  done
}

# A system user for vsftpd (PAM) and the owner of pure-ftpd's virtual user.
ensure_user() {
  if ! id "$FTP_USER" >/dev/null 2>&1; then
    $SUDO useradd --system --no-create-home --home-dir /nonexistent \
      --shell /usr/sbin/nologin "$FTP_USER"
  fi
  # vsftpd enters the home directory before its local_root.
  $SUDO usermod --home "$BASE/vsftpd/root" "$FTP_USER"
  # SHA-512 crypt: checked in milliseconds, where the default costs a tenth
  # of a second per login and the tests log in often.
  echo "$FTP_USER:$PASSWORD" | $SUDO chpasswd --crypt-method SHA512
  # Our own PAM service: the packaged one also demands a login shell.
  if [ ! -f "/etc/pam.d/$PAM_SERVICE" ]; then
    printf '%s\n' 'auth required pam_unix.so' 'account required pam_unix.so' \
      'session required pam_permit.so' | $SUDO tee "/etc/pam.d/$PAM_SERVICE" >/dev/null
  fi
}

port_in_use() { # address port
  (exec 3<>"/dev/tcp/$1/$2") 2>/dev/null
}

free_port() { # address first-candidate
  local port=$2 tries=0
  while port_in_use "$1" "$port"; do
    port=$((port + 1)); tries=$((tries + 1))
    [ $tries -lt 100 ] || die "no free port on $1 from $2"
  done
  echo "$port"
}

# Runs a server in its own session, so that it and the children it forks
# per connection form one process group, which stop ends as a whole. The
# shell writes its own pid, which exec hands on to the server.
launch() { # server-dir command...
  local d=$1; shift
  $SUDO setsid sh -c 'echo $$ >"$0/pid"; exec "$@" >"$0/server.log" 2>&1 </dev/null' "$d" "$@" \
    </dev/null >/dev/null 2>&1 3>&- &
}

# Waits (bounded) until the server sends its 220 greeting.
wait_for_greeting() { # name address port server-dir
  local i pid=""
  for ((i = 0; i < 100; i++)); do
    [ -n "$pid" ] || pid=$(cat "$4/pid" 2>/dev/null || true)
    if [ -n "$pid" ] && ! alive "$pid"; then
      die "$1 exited: $(cat "$4/server.log" 2>/dev/null)"
    fi
    if timeout 2 bash -c "exec 3<>/dev/tcp/$2/$3 && head -c 4 <&3" 2>/dev/null | grep -q '^220'; then
      return 0
    fi
    sleep 0.1
  done
  die "$1 on $2:$3 did not answer within 10 s"
}

make_root() { # server-dir
  $SUDO mkdir -p "$1/root/$DIR"
  $SUDO chown root:root "$1/root"
  $SUDO chmod 755 "$1/root"
  $SUDO chown "$FTP_USER:" "$1/root/$DIR"
}

start_vsftpd() {
  local d="$BASE/vsftpd"
  $SUDO mkdir -p "$d/empty"
  make_root "$d"
  PORT_A=$(free_port "$ADDR_A" 2121)
  $SUDO tee "$d/vsftpd.conf" >/dev/null <<EOF
listen=YES
listen_ipv6=NO
listen_address=$ADDR_A
listen_port=$PORT_A
background=NO
anonymous_enable=NO
local_enable=YES
write_enable=YES
local_umask=022
chroot_local_user=YES
allow_writeable_chroot=YES
local_root=$d/root
pam_service_name=$PAM_SERVICE
userlist_enable=NO
secure_chroot_dir=$d/empty
pasv_enable=YES
pasv_min_port=${PASV_A[0]}
pasv_max_port=${PASV_A[1]}
pasv_address=$ADDR_A
pasv_promiscuous=YES
port_enable=YES
port_promiscuous=YES
connect_from_port_20=NO
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
max_clients=0
max_per_ip=0
xferlog_enable=YES
vsftpd_log_file=$d/vsftpd.log
EOF
  launch "$d" "$VSFTPD" "$d/vsftpd.conf"
  wait_for_greeting vsftpd "$ADDR_A" "$PORT_A" "$d"
}

start_pure_ftpd() {
  local d="$BASE/pure-ftpd"
  $SUDO mkdir -p "$d"
  make_root "$d"
  PORT_B=$(free_port "$ADDR_B" 2122)
  $SUDO rm -f "$d/passwd" "$d/passwd.pdb"
  printf '%s\n%s\n' "$PASSWORD" "$PASSWORD" |
    $SUDO "$PURE_PW" useradd "$FTP_USER" -u "$FTP_USER" -d "$d/root" -f "$d/passwd" >/dev/null
  # pure-pw hashes with argon2, about 3 s per login here; the account's own
  # crypt hash is checked as well and costs milliseconds.
  local hash
  hash=$($SUDO getent shadow "$FTP_USER" | cut -d: -f2)
  $SUDO awk -F: -v OFS=: -v h="$hash" '{ $2 = h; print }' "$d/passwd" |
    $SUDO tee "$d/passwd.new" >/dev/null
  $SUDO mv "$d/passwd.new" "$d/passwd"
  $SUDO "$PURE_PW" mkdb "$d/passwd.pdb" -f "$d/passwd"
  # -E no anonymous, -W anyone may PORT to a third host (site to site),
  # -P the passive address announced, -H no reverse lookups.
  launch "$d" "$PURE_FTPD" -S "$ADDR_B,$PORT_B" -l "puredb:$d/passwd.pdb" -E -W -H \
    -p "${PASV_B[0]}:${PASV_B[1]}" -P "$ADDR_B" -O "clf:$d/transfer.log"
  wait_for_greeting pure-ftpd "$ADDR_B" "$PORT_B" "$d"
}

# Running, and not merely a zombie waiting for its parent to reap it.
alive() { # pid
  local state
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

stop_one() { # server-dir process-name
  local pidfile="$1/pid" pid i
  [ -f "$pidfile" ] || return 0
  pid=$(cat "$pidfile")
  # Only a process of ours: the pid must still name the server we started.
  if [ -n "$pid" ] && grep -q "$2" "/proc/$pid/cmdline" 2>/dev/null; then
    $SUDO kill -TERM -- "-$pid" 2>/dev/null || true
    for ((i = 0; i < 50; i++)); do
      alive "$pid" || break
      sleep 0.1
    done
    $SUDO kill -KILL -- "-$pid" 2>/dev/null || true
  fi
  $SUDO rm -f "$pidfile"
}

stop_all() {
  stop_one "$BASE/vsftpd" vsftpd
  stop_one "$BASE/pure-ftpd" pure-ftpd
  # Only a directory this script made.
  if [ -f "$BASE/.korvane-ftp-servers" ]; then $SUDO rm -rf "$BASE"; fi
}

# Only the export lines go to standard output; everything else to errors.
exec 3>&1 1>&2

case "${1:-}" in
  start)
    DIR="${2:-test}"
    DIR="${DIR#/}"; DIR="${DIR%/}"
    [ -n "$DIR" ] || DIR=test
    install_packages
    stop_all
    [ ! -e "$BASE" ] || die "$BASE exists and is not ours; set KORVANE_FTP_BASE"
    $SUDO mkdir -p "$BASE"
    $SUDO chmod 755 "$BASE"
    $SUDO touch "$BASE/.korvane-ftp-servers"
    PASSWORD="k$(head -c 9 /dev/urandom | od -An -tx1 | tr -d ' \n')"
    ensure_user
    start_vsftpd
    start_pure_ftpd
    say "vsftpd on $ADDR_A:$PORT_A, pure-ftpd on $ADDR_B:$PORT_B, files under $BASE"
    echo "export KORVANE_TEST_FTP_A=ftp://$FTP_USER:$PASSWORD@$ADDR_A:$PORT_A/$DIR/" >&3
    echo "export KORVANE_TEST_FTP_B=ftp://$FTP_USER:$PASSWORD@$ADDR_B:$PORT_B/$DIR/" >&3
    ;;
  stop)
    stop_all
    ;;
  *)
    echo "usage: $0 start [dir] | stop" >&2
    exit 2
    ;;
esac
