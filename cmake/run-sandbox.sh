#!/usr/bin/env bash
# Starts the sandbox build (the program on a simulated PC) under Wine.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
exe="$root/build/windows/pyravel-sandbox.exe"
if [ ! -f "$exe" ]; then
  echo "make run: the sandbox build (pyravel-sandbox.exe) does not exist yet; nothing to start." >&2
  exit 1
fi
echo "make run: starting $exe under Wine"
exec python3 "$root/cmake/run_sandbox.py" "$exe"
