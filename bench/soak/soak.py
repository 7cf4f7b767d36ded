#!/usr/bin/python3
"""Fault-injection soak of Korvane's unattended site-to-site runs.

Copies a tree between two pyftpdlib servers (source on 127.0.0.2, target on
127.0.0.3), each behind a fault-injecting proxy, with the real program in
batch mode, again and again for a set time. While a run goes, a controller
kills and restarts a server and fills the target's disk; the proxies refuse
commands, cut and stall connections. After every run it checks what the
program claims against what is on disk. Started by bench/soak.sh.
"""
import argparse
import collections
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time

# No __pycache__ in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from ftp_fault_proxy import FaultPlan, FaultProxy  # noqa: E402

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SERVER_SCRIPT = os.path.join(ROOT, "tests", "support", "ftpserver.py")
PYTHON = "/usr/bin/python3"
USER, PASSWORD = "soak", "soak-pw"
SOURCE_MARK, TARGET_MARK, SIZE_MARK = b"\xff", b"\xfe", b"\xfa"
DONE_RE = re.compile(r"^Transfer done: (\S+) ")


def log(text):
    print(time.strftime("%H:%M:%S ") + text, flush=True)


# ---- the tree ------------------------------------------------------------------

def make_tree(root, files, seed):
    """Writes files under root/tree; returns {name: (relative path, sha256, size)}."""
    rng = random.Random(seed)
    per_dir = 50
    tree = {}
    for i in range(files):
        d = i // per_dir
        # Two levels, so the expansion has to descend.
        rel = "tree/g%d/d%03d/f%05d.bin" % (d % 4, d, i)
        r = rng.random()
        if r < 0.03:
            size = rng.randint(256 * 1024, 2 * 1024 * 1024)
        elif r < 0.05:
            size = 0
        else:
            size = rng.randint(1, 32 * 1024)
        data = random.Random(seed * 1000003 + i).randbytes(size)
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        tree[os.path.basename(rel)] = (rel, hashlib.sha256(data).hexdigest(), size)
    return tree


def file_digest(path):
    h = hashlib.sha256()
    try:
        with open(path, "rb") as f:
            for block in iter(lambda: f.read(1 << 20), b""):
                h.update(block)
    except OSError:
        return None
    return h.hexdigest()


# ---- data files ----------------------------------------------------------------

def queue_line(icon, source, target, size_text):
    return (b"%d0" % icon) + SOURCE_MARK + source.encode() + TARGET_MARK + target.encode() + \
        SIZE_MARK + size_text.encode() + b"\r\n"


def parse_queue(data):
    """The entries of a queue file, or raises ValueError."""
    entries = []
    for n, line in enumerate(data.split(b"\r\n")[:-1], 1):
        s = line.find(SOURCE_MARK)
        t = line.find(TARGET_MARK, s + 1)
        z = line.find(SIZE_MARK, t + 1)
        if s < 2 or t < 0 or z < 0 or not line[:1].isdigit() or not line[1:s].isdigit():
            raise ValueError("queue line %d unreadable: %r" % (n, line[:80]))
        entries.append((int(line[:1]), line[s + 1:t].decode(), line[t + 1:z].decode()))
    if not data.endswith(b"\r\n"):
        raise ValueError("queue file does not end in CR LF")
    return entries


def parse_ini(data):
    """{section: {key: value}} of an INI file; raises ValueError on a line that is neither."""
    sections = collections.OrderedDict()
    current = None
    for n, raw in enumerate(data.split(b"\n"), 1):
        line = raw.rstrip(b"\r").decode("utf-8", "surrogateescape")
        if not line.strip() or line.startswith(";"):
            continue
        if line.startswith("[") and line.rstrip().endswith("]"):
            current = line.strip()[1:-1]
            sections.setdefault(current, collections.OrderedDict())
        elif "=" in line and current is not None:
            k, v = line.split("=", 1)
            sections[current][k] = v
        else:
            raise ValueError("line %d is neither a section nor a key: %r" % (n, line[:80]))
    return sections


def stats_sent_files(stats):
    total = 0
    for section, keys in stats.items():
        if section == "Total":
            continue
        value = keys.get("Total Sent Files", "0")
        if not value.isdigit():
            raise ValueError("[%s] Total Sent Files = %r" % (section, value))
        total += int(value)
    return total


# ---- servers -------------------------------------------------------------------

class Server:
    """One pyftpdlib behind its proxy; the proxy's port stays when the server restarts."""

    def __init__(self, name, host, root, plan):
        self.name, self.host, self.root = name, host, root
        self.proc = None
        self.lock = threading.Lock()
        port = self.start()
        self.proxy = FaultProxy(host, host, port, plan, name)

    def start(self):
        proc = subprocess.Popen([PYTHON, SERVER_SCRIPT, "--root", self.root, "--host", self.host,
                                 "--user", USER, "--password", PASSWORD],
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)
        line = proc.stdout.readline().decode()
        if not line.startswith("PORT "):
            raise RuntimeError("%s server did not start: %r" % (self.name, line))
        self.proc = proc
        return int(line.split()[1])

    def kill(self):
        with self.lock:
            if self.proc:
                self.proc.kill()
                self.proc.wait()
                self.proc = None

    def restart(self):
        with self.lock:
            if self.proc is None:
                self.proxy.set_upstream_port(self.start())

    def stop(self):
        self.kill()


# ---- the controller of faults outside the proxies --------------------------------

class Controller(threading.Thread):
    """During a run: kills and restarts servers and fills the target's disk."""

    def __init__(self, servers, plan, rng, target_root, tmpfs, mean_gap, kinds=None):
        super().__init__(daemon=True)
        self.kinds = [k for k in ("kill-source", "kill-target", "disk-full")
                      if kinds is None or k in kinds]
        self.servers, self.plan, self.rng = servers, plan, rng
        self.target_root, self.tmpfs, self.mean_gap = target_root, tmpfs, mean_gap
        self.active = threading.Event()
        self.idle = threading.Event()
        self.idle.set()
        self.quit = False
        self.ballast = os.path.join(target_root, ".ballast")

    def run(self):
        # Server restarts happen on this thread, which lives as long as the soak:
        # the servers die with the thread that started them.
        while not self.quit:
            if not self.active.wait(0.2) or not self.kinds:
                continue
            self.idle.clear()
            try:
                gap = self.rng.expovariate(1.0 / self.mean_gap)
                deadline = time.time() + gap
                while self.active.is_set() and time.time() < deadline:
                    time.sleep(0.1)
                if self.active.is_set():
                    self.inject()
            finally:
                self.heal()
                self.idle.set()

    def hold(self, seconds):
        end = time.time() + seconds
        while self.active.is_set() and time.time() < end:
            time.sleep(0.1)

    def inject(self):
        kind = self.rng.choice(self.kinds)
        if kind.startswith("kill"):
            server = self.servers[0 if kind == "kill-source" else 1]
            down = self.rng.uniform(0.2, 8.0)
            self.plan.record(kind, "down %.1f s" % down)
            server.kill()
            self.hold(down)
            server.restart()
        else:
            seconds = self.rng.uniform(2.0, 20.0)
            if self.tmpfs:
                self.plan.record(kind, "tmpfs full %.1f s" % seconds)
                st = os.statvfs(self.target_root)
                free = st.f_bavail * st.f_frsize
                try:
                    fd = os.open(self.ballast, os.O_CREAT | os.O_WRONLY, 0o600)
                    try:
                        os.posix_fallocate(fd, 0, max(free - 4096, 4096))
                    except OSError:
                        pass
                    finally:
                        os.close(fd)
                except OSError:
                    pass
            else:
                self.plan.record(kind, "552 on every STOR %.1f s" % seconds)
                self.plan.disk_full = True
            self.hold(seconds)

    def heal(self):
        self.plan.disk_full = False
        try:
            os.unlink(self.ballast)
        except FileNotFoundError:
            pass
        for s in self.servers:
            s.restart()


# ---- one run -------------------------------------------------------------------

class Soak:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.work = args.work
        self.src_root = os.path.join(self.work, "source")
        self.dst_root = os.path.join(self.work, "target")
        self.data_dir = os.path.join(self.work, "data")
        self.runs_dir = os.path.join(self.work, "runs")
        for d in (self.src_root, self.dst_root, self.data_dir, self.runs_dir):
            os.makedirs(d, exist_ok=True)
        self.findings = []
        self.totals = collections.Counter()
        self.exits = collections.Counter()
        self.run_seconds = []

    def finding(self, run, text):
        self.findings.append({"run": run, "text": text})
        log("FINDING run %d: %s" % (run, text))

    def setup(self):
        self.kinds = self.args.faults.split(",") if self.args.faults else None
        log("writing %d files" % self.args.files)
        self.tree = make_tree(self.src_root, self.args.files, self.args.seed)
        total = sum(v[2] for v in self.tree.values())
        self.tree_bytes = total
        self.tmpfs = False
        if not self.args.no_tmpfs:
            size_kib = (total * 3 // 2) // 1024 + 8192
            r = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=%dk" % size_kib, "soak-target",
                                self.dst_root], capture_output=True)
            self.tmpfs = r.returncode == 0
            if not self.tmpfs:
                log("no tmpfs (%s): a full disk is the proxy answering 552"
                    % r.stderr.decode().strip())
        log("tree: %d files, %d bytes; target on %s" %
            (len(self.tree), total, "tmpfs" if self.tmpfs else "the work disk"))
        self.plan = FaultPlan(self.args.seed + 1, command_rate=self.args.command_rate,
                              reply_rate=self.args.reply_rate, data_rate=self.args.data_rate,
                              stall_seconds=(2.0, 30.0), kinds=self.kinds)
        self.servers = [Server("source", "127.0.0.2", self.src_root, self.plan),
                        Server("target", "127.0.0.3", self.dst_root, self.plan)]
        self.controller = Controller(self.servers, self.plan, random.Random(self.args.seed + 2),
                                     self.dst_root, self.tmpfs, self.args.server_fault_gap,
                                     self.kinds)
        self.controller.start()
        self.ini_path = os.path.join(self.data_dir, "Korvane.ini")
        self.stats_path = os.path.join(self.data_dir, "Stats.dat")

    def write_ini(self, resume):
        # Short time-outs so stalls end in the program's own waits; retries
        # so a killed server that comes back is logged in again.
        text = ("[_Main_]\r\nConnectTimeout=15\r\nRetryCount=4\r\nRetryDelay=2\r\n"
                "RestoreResume=%d\r\n" % (1 if resume else 0))
        with open(self.ini_path, "wb") as f:
            f.write(text.encode())
        return text.encode()

    def url(self, server):
        return "ftp://%s:%s@%s:%d/" % (USER, PASSWORD, server.host, server.proxy.port)

    def reset_round(self):
        # The target starts empty: every file has to arrive again.
        shutil.rmtree(os.path.join(self.dst_root, "tree"), ignore_errors=True)
        self.pending = set(self.tree)
        self.round_first = True
        self.totals["rounds"] += 1

    def queue_for_run(self):
        if self.round_first:
            # One directory entry: the run lists and expands the whole tree.
            return [(1, "/tree", "/")], "tree"
        entries = []
        for name in sorted(self.pending, key=lambda n: self.tree[n][0]):
            rel, _, size = self.tree[name]
            os.makedirs(os.path.dirname(os.path.join(self.dst_root, rel)), exist_ok=True)
            entries.append((3, "/" + rel, "/" + rel, "%d" % size))
        return entries, "files"

    def one_run(self, number):
        entries, mode = self.queue_for_run()
        run_dir = os.path.join(self.runs_dir, "%04d" % number)
        os.makedirs(run_dir, exist_ok=True)
        queue_path = os.path.join(run_dir, "queue.kqf")
        queue_bytes = b"".join(queue_line(e[0], e[1], e[2], e[3] if len(e) > 3 else "")
                               for e in entries)
        with open(queue_path, "wb") as f:
            f.write(queue_bytes)
        resume = self.rng.random() < 0.75
        if self.args.resume != "mixed":
            resume = self.args.resume == "on"
        ini_before = self.write_ini(resume)
        try:
            stats_before = stats_sent_files(parse_ini(open(self.stats_path, "rb").read()))
        except FileNotFoundError:
            stats_before = 0
        fired_before = collections.Counter(self.plan.fired)
        events_before = len(self.plan.events)
        cmd = [self.args.korvane, "-platform", "offscreen", "--data-dir", self.data_dir,
               "--queue", queue_path, "--transfer", "--exit-when-done", "--log-stdout",
               "%s;%s" % (self.url(self.servers[0]), self.url(self.servers[1]))]
        with open(os.path.join(run_dir, "command"), "w") as f:
            f.write(" ".join(cmd) + "\n")
        out = open(os.path.join(run_dir, "stdout"), "wb")
        err = open(os.path.join(run_dir, "stderr"), "wb")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        self.plan.enabled = True
        self.controller.active.set()
        started = time.time()
        proc = subprocess.Popen(cmd, stdout=out, stderr=err, stdin=subprocess.DEVNULL, env=env)
        hung = over_cap = False
        # A run may take long while it moves files; a hang is a run that
        # shows no new status line for --run-timeout seconds.
        out_path = os.path.join(run_dir, "stdout")
        last_size, last_change = -1, time.time()
        while proc.poll() is None:
            time.sleep(0.5)
            size = os.path.getsize(out_path)
            now = time.time()
            if size != last_size:
                last_size, last_change = size, now
            hung = now - last_change > self.args.run_timeout
            over_cap = now - started > self.run_cap
            if hung or over_cap:
                break
        code = proc.poll()
        if code is None:
            # A stack of the hung program helps whoever fixes it.
            subprocess.run(["gdb", "-p", str(proc.pid), "-batch", "-ex", "thread apply all bt"],
                           stdout=open(os.path.join(run_dir, "hang-stack"), "wb"),
                           stderr=subprocess.STDOUT, timeout=60) if shutil.which("gdb") else None
            proc.kill()
            code = proc.wait()
            if over_cap and not hung:
                self.totals["runs stopped at the cap"] += 1
                code = "cap"
        seconds = time.time() - started
        self.plan.enabled = False
        self.controller.active.clear()
        self.controller.idle.wait()
        out.close()
        err.close()
        self.run_seconds.append(seconds)
        with open(os.path.join(run_dir, "faults"), "w") as f:
            for when, kind, detail in self.plan.events[events_before:]:
                f.write("%s %.1f %s %s\n" % (time.strftime("%H:%M:%S", time.localtime(when)),
                                              when - started, kind, detail))
        fired = collections.Counter(self.plan.fired)
        fired.subtract(fired_before)
        fired = +fired
        stdout = open(os.path.join(run_dir, "stdout"), "rb").read().decode("utf-8", "replace")
        stderr = open(os.path.join(run_dir, "stderr"), "rb").read().decode("utf-8", "replace")
        self.check(number, mode, entries, queue_path, queue_bytes, ini_before, stats_before,
                   code, hung, stdout, stderr, seconds, resume, fired)

    def check(self, number, mode, entries, queue_path, queue_bytes, ini_before, stats_before,
              code, hung, stdout, stderr, seconds, resume, fired):
        queued = {os.path.basename(e[1]) for e in entries if e[0] == 3}
        done_lines = [m.group(1) for m in (DONE_RE.match(l) for l in stdout.splitlines()) if m]
        done = set(done_lines)
        abandoned = sum(int(x) for x in re.findall(r"(\d+) file\(s\) did not arrive", stderr))
        left = sum(int(x) for x in re.findall(r"(\d+) entries left in the queue", stderr))
        # The same, by name: one line per path.
        named_abandoned = set(os.path.basename(p) for p in
                              re.findall(r"^korvane: did not arrive: (.*)$", stderr, re.M))
        named_left = set(os.path.basename(p) for p in
                         re.findall(r"^korvane: left in the queue: (.*)$", stderr, re.M))
        self.exits["hang" if hung else code] += 1
        self.totals["runs"] += 1
        self.totals["files moved"] += len(done_lines)
        self.totals["bytes moved"] += sum(self.tree[n][2] for n in done_lines if n in self.tree)
        bad = []
        if hung:
            bad.append("no status line for %d s (killed)" % self.args.run_timeout)
        elif code == "cap":
            pass
        elif code < 0:
            bad.append("program died on signal %d" % -code)
        elif code not in (0, 1):
            bad.append("exit code %d" % code)
        if re.search(r"unhandled|exception|assert", stderr, re.I):
            bad.append("stderr reports an internal error: %s" % stderr.strip()[-300:])
        stranger = done - set(self.tree)
        if stranger:
            bad.append("reported done but never queued: %s" % sorted(stranger)[:5])
        if mode == "files":
            extra = done - queued
            if extra:
                bad.append("reported done but not in this run's queue: %s" % sorted(extra)[:5])
        # Every file reported done must be whole at the target.
        broken = []
        for name in sorted(done & set(self.tree)):
            rel, digest, size = self.tree[name]
            got = file_digest(os.path.join(self.dst_root, rel))
            if got != digest:
                try:
                    have = os.path.getsize(os.path.join(self.dst_root, rel))
                except OSError:
                    have = None
                where = ""
                if have is None:
                    # Stored somewhere else, e.g. in the wrong directory?
                    for d, _, names in os.walk(self.dst_root):
                        if name in names:
                            where = ", found at /%s" % os.path.relpath(
                                os.path.join(d, name), self.dst_root)
                            break
                broken.append("%s (%s of %d bytes%s)" % (rel, have, size, where))
        if broken:
            bad.append("%d file(s) reported done but not identical at the target: %s"
                       % (len(broken), ", ".join(broken[:5])))
        if not hung and code != "cap" and code >= 0:
            # The queue lives only in memory; what a run did not finish is in
            # its counts on standard error, and they must add up.
            if mode == "files":
                missing = len(queued) - len(done & queued) - abandoned - left
                if missing != 0:
                    bad.append("entries unaccounted: %d queued, %d done, %d did not arrive, "
                               "%d left; %+d lost" % (len(queued), len(done & queued), abandoned,
                                                       left, missing))
                lost = queued - done - named_abandoned - named_left
                if lost:
                    bad.append("%d queued file(s) neither done, nor named as not arrived or "
                               "left: %s" % (len(lost), sorted(lost)[:5]))
                if (named_abandoned | named_left) - queued:
                    bad.append("named as not arrived or left but never queued: %s"
                               % sorted((named_abandoned | named_left) - queued)[:5])
                for named, what in ((named_left, "still in the queue"),
                                    (named_abandoned, "named as not arrived")):
                    if done & named:
                        bad.append("reported done but %s: %s" % (what, sorted(done & named)[:5]))
            if code == 0:
                if abandoned or left:
                    bad.append("exit 0 with %d not arrived and %d left" % (abandoned, left))
                want = queued if mode == "files" else set(self.tree)
                not_there = [n for n in want
                             if file_digest(os.path.join(self.dst_root, self.tree[n][0]))
                             != self.tree[n][1]]
                if not_there:
                    bad.append("exit 0 but %d queued file(s) not identical at the target, e.g. %s"
                               % (len(not_there), sorted(not_there)[:3]))
            elif code == 1 and not (abandoned or left) and "korvane:" not in stderr:
                bad.append("exit 1 without a reason on standard error")
        # Data files.
        try:
            if open(queue_path, "rb").read() != queue_bytes:
                bad.append("the queue file was changed")
            parse_queue(queue_bytes)
        except (OSError, ValueError) as e:
            bad.append("queue file: %s" % e)
        try:
            ini_after = open(self.ini_path, "rb").read()
            parsed = parse_ini(ini_after)
            want = parse_ini(ini_before)["_Main_"]
            got = parsed.get("_Main_", {})
            changed = {k: (v, got.get(k)) for k, v in want.items() if got.get(k) != v}
            if changed:
                bad.append("Korvane.ini settings changed: %s" % changed)
        except (OSError, ValueError) as e:
            bad.append("Korvane.ini: %s" % e)
        try:
            sent = stats_sent_files(parse_ini(open(self.stats_path, "rb").read()))
            if not hung and code != "cap" and sent - stats_before != len(done_lines):
                bad.append("Stats.dat counts %d files sent in this run, the log %d"
                           % (sent - stats_before, len(done_lines)))
        except FileNotFoundError:
            if done_lines:
                bad.append("Stats.dat missing after %d files" % len(done_lines))
        except (OSError, ValueError) as e:
            bad.append("Stats.dat: %s" % e)
        for b in bad:
            self.finding(number, b)
        # Only files found whole leave the pending set.
        for name in done & set(self.tree):
            if file_digest(os.path.join(self.dst_root, self.tree[name][0])) == self.tree[name][1]:
                self.pending.discard(name)
        self.round_first = False
        log("run %d (%s, %d queued, resume %s): exit %s in %.0f s; done %d, not arrived %d, "
            "left %d; pending %d; faults %s"
            % (number, mode, len(queued) if mode == "files" else len(self.tree),
               "on" if resume else "off", "HUNG" if hung else code, seconds, len(done),
               abandoned, left, len(self.pending), dict(fired) or "none"))
        with open(os.path.join(self.runs_dir, "%04d" % number, "result.json"), "w") as f:
            json.dump({"mode": mode, "exit": None if hung else code, "seconds": seconds,
                       "done": len(done_lines), "abandoned": abandoned, "left": left,
                       "faults": dict(fired), "findings": bad}, f, indent=1)

    def soak(self):
        self.setup()
        self.reset_round()
        end = time.time() + self.args.duration
        number = 0
        while time.time() < end:
            number += 1
            # The last run stops with the soak's time.
            self.run_cap = min(self.args.run_cap, max(60.0, end - time.time()))
            self.one_run(number)
            if not self.pending:
                self.totals["rounds complete"] += 1
                self.reset_round()
        self.controller.quit = True
        for s in self.servers:
            s.stop()
        if self.tmpfs:
            subprocess.run(["umount", "-l", self.dst_root])
        self.report()
        return 1 if self.findings else 0

    def report(self):
        faults = dict(sorted(self.plan.fired.items()))
        summary = {
            "seed": self.args.seed, "files in tree": len(self.tree), "tree bytes": self.tree_bytes,
            "duration s": self.args.duration, "runs": self.totals["runs"],
            "rounds started": self.totals["rounds"],
            "rounds complete": self.totals["rounds complete"],
            "exit codes": {str(k): v for k, v in self.exits.items()},
            "runs stopped at the cap": self.totals["runs stopped at the cap"],
            "longest run s": round(max(self.run_seconds or [0]), 1),
            "files moved": self.totals["files moved"], "bytes moved": self.totals["bytes moved"],
            "faults injected": faults, "faults total": sum(faults.values()),
            "target disk": "tmpfs" if self.tmpfs else "proxy 552",
            "findings": self.findings,
        }
        with open(os.path.join(self.work, "summary.json"), "w") as f:
            json.dump(summary, f, indent=1)
        print(json.dumps(summary, indent=1), flush=True)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--korvane", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--duration", type=float, default=600)
    p.add_argument("--files", type=int, default=2000)
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--run-timeout", type=float, default=300,
                   help="a run with no new status line for this long is hung")
    p.add_argument("--run-cap", type=float, default=3600,
                   help="a run still moving files after this long is stopped (not a finding)")
    p.add_argument("--command-rate", type=float, default=0.004)
    p.add_argument("--reply-rate", type=float, default=0.01)
    p.add_argument("--data-rate", type=float, default=0.03)
    p.add_argument("--server-fault-gap", type=float, default=25.0,
                   help="mean seconds between server kills / full disks during a run")
    p.add_argument("--faults", default="",
                   help="comma-separated kinds to inject (default all): 421,425,550,552,"
                        "ctl-reset,ctl-stall,426,data-reset,data-stall,kill-source,kill-target,"
                        "disk-full")
    p.add_argument("--resume", choices=("mixed", "on", "off"), default="mixed",
                   help="RestoreResume in the runs (mixed: on in three runs of four)")
    p.add_argument("--no-tmpfs", action="store_true")
    args = p.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(3))
    sys.exit(Soak(args).soak())


if __name__ == "__main__":
    main()
