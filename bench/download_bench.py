"""Runs the Windows download benchmark under Wine against the test server on 127.0.0.1 and
passes its lines through. Usage: download_bench.py BUILD_DIR [SIZE]."""

import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "net"))
from test_servers import TestServers  # noqa: E402


def main():
    build = os.path.abspath(sys.argv[1])
    size = int(sys.argv[2]) if len(sys.argv) > 2 else 200 * 1024 * 1024
    exe = os.path.join(build, "bench", "download_bench.exe")
    env = dict(os.environ, WINEPREFIX=os.path.join(build, "wineprefix"))
    with TestServers(lifetime=600) as servers:
        url = "http://127.0.0.1:%d/program/%d" % (servers.http_port, size)
        signed = os.path.join(build, "tests", "echo_exit_signed.exe")
        result = subprocess.run([os.path.join(ROOT, "cmake", "wine-run.sh"), exe, url, str(size), signed],
                                env=env, capture_output=True, text=True, timeout=580)
    sys.stdout.write(result.stdout)
    if result.returncode != 0:
        sys.stderr.write(result.stderr)
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
