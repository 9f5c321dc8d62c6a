#!/usr/bin/env bash
# Runs a Windows program under Wine inside its own Xvfb and returns its exit code.
# Nothing is left running afterwards: the wineserver is killed, then xvfb-run stops the X server.
set -u
: "${WINEPREFIX:?WINEPREFIX must name the private prefix}"
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh" || { echo "wine-run: could not create the Wine prefix" >&2; exit 2; }
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
if [ "${1:-}" = "--inner" ]; then
  shift
  timeout -k 10 "${WINE_RUN_TIMEOUT:-840}" wine "$@"
  rc=$?
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  exit $rc
fi
# A random first display number keeps runs started side by side from racing for the same one.
exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" "$0" --inner "$@"
