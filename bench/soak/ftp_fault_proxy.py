#!/usr/bin/python3
"""A TCP proxy in front of one FTP server that injects faults.

Control connections pass line by line. Every 227 reply is rewritten to a
listener of the proxy on its own address, so the data connection of a
site-to-site copy (the other server connecting to the address Korvane sends
in PORT) passes through the proxy too and can be cut.

Faults, each drawn at random from a seeded generator:
  command  - instead of forwarding a command, answer 421 (and hang up),
             550, 425 (transfer commands) or 552 (STOR) ourselves, so the
             server never acts on it and the two ends stay consistent; or
             reset the control connection, or hold the command back (stall)
  reply    - a transfer's 226 arrives as 426
  data     - reset the data connection after a random number of bytes, or
             stall it for a while

The upstream port can change at any time (the server is killed and started
again on a new port); connections made after that go to the new one.

Run on its own for a manual check:
  ftp_fault_proxy.py --listen 127.0.0.2 --upstream 127.0.0.2:2121 --rate 0.05
"""
import argparse
import collections
import random
import re
import socket
import struct
import threading
import time

PASV_RE = re.compile(rb"(\d+),(\d+),(\d+),(\d+),(\d+),(\d+)")
TRANSFER_COMMANDS = {b"RETR", b"STOR", b"APPE", b"LIST", b"NLST"}
# Answers we give in place of the server.
CANNED = {
    "421": b"421 Service not available, closing control connection.\r\n",
    "425": b"425 Can't open data connection.\r\n",
    "550": b"550 Requested action not taken: file unavailable.\r\n",
    "552": b"552 Requested file action aborted: exceeded storage allocation.\r\n",
}


# A socket another thread is blocked reading is only released when that
# read returns, so a plain close() sends nothing: shutdown() wakes it first.

def reset(sock):
    """Close with RST instead of FIN."""
    if sock is None:
        return
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        sock.shutdown(socket.SHUT_RD)
    except OSError:
        pass
    try:
        sock.close()
    except OSError:
        pass


def close(sock):
    if sock is None:
        return
    try:
        sock.shutdown(socket.SHUT_RDWR)
    except OSError:
        pass
    try:
        sock.close()
    except OSError:
        pass


class FaultPlan:
    """What may go wrong and how often; counts what did."""

    def __init__(self, seed, command_rate=0.004, reply_rate=0.01, data_rate=0.03,
                 stall_seconds=(3.0, 30.0), kinds=None):
        self.rng = random.Random(seed)
        self.lock = threading.Lock()
        self.command_rate = command_rate
        self.reply_rate = reply_rate
        self.data_rate = data_rate
        self.stall_seconds = stall_seconds
        # Kinds allowed; None: all.
        self.kinds = set(kinds) if kinds else None
        self.enabled = False
        # Forced 552 on every STOR while the destination is "full".
        self.disk_full = False
        self.fired = collections.Counter()
        self.events = []

    def _allowed(self, kind):
        return self.kinds is None or kind in self.kinds

    def record(self, kind, detail):
        with self.lock:
            self.fired[kind] += 1
            self.events.append((time.time(), kind, detail))

    def command_fault(self, verb):
        """The fault for this command, or None."""
        with self.lock:
            if self.disk_full and verb in (b"STOR", b"APPE"):
                return "552-full"
            if not self.enabled or self.rng.random() >= self.command_rate:
                return None
            choices = ["421", "ctl-reset", "ctl-stall"]
            if verb in (b"CWD", b"RETR", b"STOR", b"SIZE", b"MKD", b"LIST", b"NLST"):
                choices.append("550")
            if verb in TRANSFER_COMMANDS:
                choices.append("425")
            if verb in (b"STOR", b"APPE"):
                choices.append("552")
            choices = [c for c in choices if self._allowed(c)]
            return self.rng.choice(choices) if choices else None

    def reply_fault(self):
        with self.lock:
            if self.enabled and self._allowed("426") and self.rng.random() < self.reply_rate:
                return "426"
            return None

    def data_fault(self):
        """(kind, byte offset) for a new data connection, or None."""
        with self.lock:
            if not self.enabled or self.rng.random() >= self.data_rate:
                return None
            choices = [c for c in ("data-reset", "data-stall") if self._allowed(c)]
            if not choices:
                return None
            # Mostly early, sometimes deep into a large file.
            offset = int(self.rng.choice((0, 1, 2)) and self.rng.expovariate(1 / 65536.0))
            return self.rng.choice(choices), offset

    def stall(self):
        with self.lock:
            return self.rng.uniform(*self.stall_seconds)


class Relay(threading.Thread):
    """Copies one direction of a data connection, with at most one fault."""

    def __init__(self, src, dst, pair, fault=None, plan=None, name=""):
        super().__init__(daemon=True)
        self.src, self.dst, self.pair, self.fault, self.plan = src, dst, pair, fault, plan
        self.label = name

    def run(self):
        try:
            self.copy()
        finally:
            self.pair.finished()

    def copy(self):
        moved = 0
        try:
            while True:
                data = self.src.recv(65536)
                if not data:
                    if self.pair.dead:
                        return
                    try:
                        self.dst.shutdown(socket.SHUT_WR)
                    except OSError:
                        pass
                    return
                if self.fault and moved + len(data) > self.fault[1]:
                    kind, offset = self.fault
                    self.fault = None
                    cut = max(0, offset - moved)
                    if cut:
                        self.dst.sendall(data[:cut])
                    moved += cut
                    if kind == "data-reset":
                        self.plan.record(kind, "%s after %d bytes" % (self.label, moved))
                        self.pair.reset_all()
                        return
                    seconds = self.plan.stall()
                    self.plan.record(kind, "%s %.1f s after %d bytes" % (self.label, seconds, moved))
                    time.sleep(seconds)
                    data = data[cut:]
                self.dst.sendall(data)
                moved += len(data)
        except OSError:
            # A reset on one end is passed on as a reset, not as an end of file.
            self.pair.reset_all()


class DataPair:
    def __init__(self):
        self.socks = []
        self.lock = threading.Lock()
        self.dead = False
        self.running = 2

    def finished(self):
        """Both directions ended: release the sockets."""
        with self.lock:
            self.running -= 1
            if self.running:
                return
            socks, self.socks = self.socks, []
        for s in socks:
            close(s)

    def reset_all(self):
        with self.lock:
            self.dead = True
            socks, self.socks = self.socks, []
        for s in socks:
            reset(s)


class ControlSession(threading.Thread):
    def __init__(self, proxy, client):
        super().__init__(daemon=True)
        self.proxy = proxy
        self.client = client
        self.server = None
        self.send_lock = threading.Lock()
        self.closed = threading.Event()
        self.last_verb = b""
        self.swallow_226 = False

    # -- helpers
    def to_client(self, data):
        with self.send_lock:
            self.client.sendall(data)

    def shut(self, hard=False):
        if self.closed.is_set():
            return
        self.closed.set()
        for s in (self.client, self.server):
            (reset if hard else close)(s)

    def run(self):
        plan = self.proxy.plan
        try:
            self.server = socket.create_connection(self.proxy.upstream(), timeout=10)
            self.server.settimeout(None)
        except OSError:
            # Server down: the client sees the connection closed at once.
            self.shut()
            return
        threading.Thread(target=self.server_to_client, daemon=True).start()
        try:
            for line in self.lines_of(self.client):
                verb = line.split(b" ", 1)[0].strip().upper()
                fault = None if verb in (b"QUIT", b"ABOR", b"USER", b"PASS") else \
                    plan.command_fault(verb)
                if fault is None:
                    self.last_verb = verb
                    self.server.sendall(line)
                    continue
                what = line.strip()[:60].decode("latin-1")
                if verb == b"PASS":
                    what = "PASS ..."
                if fault == "ctl-reset":
                    plan.record(fault, what)
                    self.shut(hard=True)
                    return
                if fault == "ctl-stall":
                    seconds = plan.stall()
                    plan.record(fault, "%s held %.1f s" % (what, seconds))
                    time.sleep(seconds)
                    # A client that gave up meanwhile may have done the work
                    # again on a new connection: its old STOR reaching the
                    # server now would empty the file the retry copied whole,
                    # and no client can take back a command it sent. The
                    # soak is after the client's faults, not that one.
                    if self.client_gone():
                        break
                    self.last_verb = verb
                    self.server.sendall(line)
                    continue
                code = "552" if fault == "552-full" else fault
                plan.record(fault, what)
                self.to_client(CANNED[code])
                if code == "421":
                    self.shut()
                    return
        except OSError:
            pass
        self.shut()

    def client_gone(self):
        try:
            return self.client.recv(1, socket.MSG_PEEK | socket.MSG_DONTWAIT) == b""
        except BlockingIOError:
            return False
        except OSError:
            return True

    def lines_of(self, sock):
        # Whole lines, each with its LF, until the peer closes or we shut.
        buf = b""
        while not self.closed.is_set():
            data = sock.recv(4096)
            if not data:
                return
            buf += data
            while b"\n" in buf:
                line, buf = buf.split(b"\n", 1)
                yield line + b"\n"

    def server_to_client(self):
        plan = self.proxy.plan
        in_multi = None
        try:
            for line in self.lines_of(self.server):
                code = line[:3]
                if in_multi is None and line[3:4] == b"-":
                    in_multi = code
                elif in_multi is not None and code == in_multi and line[3:4] == b" ":
                    in_multi = None
                if in_multi is None and line.startswith(b"227"):
                    line = self.rewrite_pasv(line)
                elif in_multi is None and line.startswith(b"226 ") and \
                        self.last_verb in (b"RETR", b"STOR", b"APPE"):
                    if plan.reply_fault():
                        plan.record("426", "%s: 226 replaced" % self.last_verb.decode())
                        line = b"426 Connection closed; transfer aborted.\r\n"
                self.to_client(line)
        except OSError:
            pass
        self.shut()

    def rewrite_pasv(self, line):
        m = PASV_RE.search(line)
        if not m:
            return line
        nums = [int(x) for x in m.groups()]
        port = nums[4] * 256 + nums[5]
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind((self.proxy.listen_host, 0))
        listener.listen(1)
        mine = listener.getsockname()[1]
        threading.Thread(target=self.proxy.data_accept,
                         args=(listener, (self.proxy.upstream()[0], port)), daemon=True).start()
        h = self.proxy.listen_host.replace(".", ",")
        return b"227 Entering Passive Mode (%s,%d,%d).\r\n" % (h.encode(), mine >> 8, mine & 255)


class FaultProxy:
    def __init__(self, listen_host, upstream_host, upstream_port, plan, name="proxy"):
        self.listen_host = listen_host
        self._upstream = (upstream_host, upstream_port)
        self._lock = threading.Lock()
        self.plan = plan
        self.name = name
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind((listen_host, 0))
        self.sock.listen(64)
        self.port = self.sock.getsockname()[1]
        threading.Thread(target=self.accept_loop, daemon=True).start()

    def upstream(self):
        with self._lock:
            return self._upstream

    def set_upstream_port(self, port):
        with self._lock:
            self._upstream = (self._upstream[0], port)

    def accept_loop(self):
        while True:
            try:
                client, _ = self.sock.accept()
            except OSError:
                return
            ControlSession(self, client).start()

    def data_accept(self, listener, target):
        listener.settimeout(120)
        try:
            peer, _ = listener.accept()
        except OSError:
            return
        finally:
            close(listener)
        try:
            upstream = socket.create_connection(target, timeout=10)
            upstream.settimeout(None)
        except OSError:
            reset(peer)
            return
        pair = DataPair()
        pair.socks = [peer, upstream]
        fault = self.plan.data_fault()
        label = "%s data" % self.name
        # Only one direction carries the file; the fault may hit either.
        Relay(upstream, peer, pair, fault, self.plan, label + " from server").start()
        Relay(peer, upstream, pair, fault, self.plan, label + " to server").start()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--listen", default="127.0.0.1")
    parser.add_argument("--upstream", required=True, help="host:port")
    parser.add_argument("--rate", type=float, default=0.05, help="per-command fault rate")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    host, port = args.upstream.rsplit(":", 1)
    plan = FaultPlan(args.seed, command_rate=args.rate, reply_rate=args.rate,
                     data_rate=args.rate * 5)
    plan.enabled = True
    proxy = FaultProxy(args.listen, host, int(port), plan)
    print("PORT %d" % proxy.port, flush=True)
    try:
        while True:
            time.sleep(5)
            if plan.fired:
                print(dict(plan.fired), flush=True)
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
