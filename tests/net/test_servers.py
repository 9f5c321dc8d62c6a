"""HTTP and FTP servers for the download tests, on 127.0.0.1 only.

As a module: `with TestServers() as servers:` gives servers.http_port (and, with ftp=True,
servers.ftp_port). As a script: starts both, runs the command after "--" with PYRAVEL_HTTP_PORT
and PYRAVEL_FTP_PORT set, and stops them when it ends. Either way the servers stop by themselves
after their lifetime.
"""

import http.server
import logging
import os
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time

LOOPBACK = "127.0.0.1"


def pattern_bytes(n):
    """The same bytes as the C++ tests' PatternBytes: a shifted or repeated chunk shows."""
    return bytes(((i * 7 + i // 251) % 251) for i in range(n))


def program_header(size):
    """The first 0x400 bytes of an AMD64 program image whose one section fills the rest of size."""
    header = bytearray(0x400)
    header[0:2] = b"MZ"
    struct.pack_into("<I", header, 0x3C, 0x80)
    header[0x80:0x84] = b"PE\0\0"
    struct.pack_into("<HHxxxxxxxxxxxxH", header, 0x84, 0x8664, 1, 240)
    struct.pack_into("<H", header, 0x98, 0x20B)
    struct.pack_into("<I", header, 0x98 + 108, 16)
    struct.pack_into("<II", header, 0x98 + 240 + 16, size - 0x400, 0x400)
    return bytes(header)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_HEAD(self):
        self.respond(head=True)

    def do_GET(self):
        self.respond(head=False)

    def start_body(self, length, status=200, content_type="application/octet-stream", location=None):
        """The status and headers; False for a HEAD request, which gets no body. Without a length
        the connection's end ends the body."""
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        if location:
            self.send_header("Location", location)
        if length is None:
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
        self.end_headers()
        return not self.head

    def send_body(self, body, status=200, length=True, content_type="application/octet-stream"):
        if self.start_body(len(body) if length else None, status, content_type):
            self.wfile.write(body)

    def respond(self, head):
        self.head = head
        state = self.server.state
        path = self.path.split("?", 1)[0]
        parts = path.strip("/").split("/")
        kind, arg = parts[0], (parts[1] if len(parts) > 1 else "")
        routes = {
            "bytes": lambda: self.send_body(pattern_bytes(int(arg))),
            "nolen": lambda: self.send_body(pattern_bytes(int(arg)), length=False),
            "program": lambda: self.send_program(int(arg)),
            "drop": lambda: self.send_and_drop(int(arg)),
            "redirect": lambda: self.start_body(0, 302, location="/" + "/".join(parts[1:])),
            "status": lambda: self.send_body(b"<html>error page</html>", int(arg), content_type="text/html"),
            "referer": lambda: self.send_body((self.headers.get("Referer") or "(none)").encode(), content_type="text/plain"),
        }
        try:
            if path == "/ovelant/Ovelant.exe":
                self.serve_updater(state)
            elif kind in routes:
                routes[kind]()
            else:
                self.send_body(b"not here", status=404)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def send_program(self, n):
        # A large program for the benchmark: headers whose one section runs to the end, then one
        # block repeated, written as fast as the socket takes it.
        if not self.start_body(n):
            return
        self.wfile.write(program_header(n))
        block, left = pattern_bytes(65536), n - 0x400
        while left > 0:
            self.wfile.write(block[:left])
            left -= len(block)

    def send_and_drop(self, n):
        if not self.start_body(n):
            return
        self.wfile.write(pattern_bytes(n // 2))
        self.wfile.flush()
        time.sleep(0.2)
        # A reset, not an orderly close: the connection breaks mid-body.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.close_connection = True
        self.connection.close()

    def serve_updater(self, state):
        if state.get("updater_mode") == "page":
            # A maintenance page where the program should be, served as a success.
            self.send_body(b"<html><body>Down for maintenance</body></html>", content_type="text/html")
        else:
            self.send_body(state["updater"])


class TestServers:
    def __init__(self, ftp=False, lifetime=900):
        self.want_ftp, self.lifetime, self.state = ftp, lifetime, {}
        self.http_port = self.ftp_port = self._ftp = self._tmp = None

    def __enter__(self):
        self._http = http.server.ThreadingHTTPServer((LOOPBACK, 0), Handler)
        self._http.daemon_threads = True
        self._http.state = self.state
        self.http_port = self._http.server_address[1]
        threading.Thread(target=self._http.serve_forever, daemon=True).start()
        if self.want_ftp:
            self._start_ftp()
        # Bounded: the servers stop by themselves even when the caller never does.
        self._timer = threading.Timer(self.lifetime, self.stop)
        self._timer.daemon = True
        self._timer.start()
        return self

    def _start_ftp(self):
        from pyftpdlib.authorizers import DummyAuthorizer
        from pyftpdlib.handlers import FTPHandler
        from pyftpdlib.servers import ThreadedFTPServer

        self._tmp = tempfile.TemporaryDirectory(prefix="pyravel-ftp-")
        with open(os.path.join(self._tmp.name, "file.bin"), "wb") as f:
            f.write(pattern_bytes(123457))
        authorizer = DummyAuthorizer()
        authorizer.add_anonymous(self._tmp.name)
        handler = type("Handler", (FTPHandler,), {"authorizer": authorizer, "masquerade_address": LOOPBACK,
                                                   "permit_foreign_addresses": False})
        # A handler of our own keeps pyftpdlib from logging every command to the terminal.
        logger = logging.getLogger("pyftpdlib")
        logger.addHandler(logging.NullHandler())
        logger.propagate = False
        self._ftp = ThreadedFTPServer((LOOPBACK, 0), handler)
        self.ftp_port = self._ftp.address[1]
        threading.Thread(target=self._ftp.serve_forever, kwargs={"handle_exit": False}, daemon=True).start()

    def stop(self):
        self._timer.cancel()
        if self._http:
            self._http.shutdown()
            self._http.server_close()
            self._http = None
        if self._ftp:
            self._ftp.close_all()
            self._ftp = None
        if self._tmp:
            self._tmp.cleanup()
            self._tmp = None

    def __exit__(self, *exc):
        self.stop()
        return False


def main():
    split = sys.argv.index("--")
    options, command = sys.argv[1:split], sys.argv[split + 1:]
    lifetime = int(options[options.index("--lifetime") + 1]) if "--lifetime" in options else 900
    with TestServers(ftp=True, lifetime=lifetime) as servers:
        env = dict(os.environ, PYRAVEL_HTTP_PORT=str(servers.http_port), PYRAVEL_FTP_PORT=str(servers.ftp_port))
        return subprocess.run(command, env=env, timeout=lifetime).returncode


if __name__ == "__main__":
    sys.exit(main())
