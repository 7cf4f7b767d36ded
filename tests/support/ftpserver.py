#!/usr/bin/python3
"""A throw-away FTP server for the tests: pyftpdlib on 127.0.0.1.

Prints "PORT <n>" once listening. Exits when its parent dies or closes our
stdin, so a crashed test never leaves a server behind.
"""
import argparse
import asynchat
import ctypes
import os
import signal
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def die_with_parent():
    try:
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        PR_SET_PDEATHSIG = 1
        libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)
    except OSError:
        pass

    def watch_stdin():
        try:
            while sys.stdin.buffer.read(4096):
                pass
        finally:
            os._exit(0)

    threading.Thread(target=watch_stdin, daemon=True).start()


class ByteExactHandler(FTPHandler):
    # Names are bytes on disk; keep undecodable bytes through every reply.
    unicode_errors = "surrogateescape"
    permit_foreign_addresses = True
    permit_privileged_ports = True

    def push(self, s):
        asynchat.async_chat.push(self, s.encode("utf8", "surrogateescape"))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", default="korvane")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--anonymous", action="store_true")
    parser.add_argument("--banner", default=None)
    parser.add_argument("--host", default="127.0.0.1")
    args = parser.parse_args()

    die_with_parent()
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    if args.anonymous:
        authorizer.add_anonymous(args.root, perm="elradfmwMT")
    handler = ByteExactHandler
    handler.authorizer = authorizer
    if args.banner:
        handler.banner = args.banner
    handler.passive_ports = None
    server = FTPServer((args.host, 0), handler)
    server.max_cons = 64
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
