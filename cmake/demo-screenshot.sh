#!/usr/bin/env bash
# Shows the toolkit's demonstration window under Wine in its own Xvfb and saves two screenshots
# (the window, and the window with a pane button's menu open) in build/windows/screenshots/.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/windows"
demo="$build/tests/toolkit_demo.exe"
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
[ -f "$demo" ] || { echo "demo-screenshot: build the windows preset first" >&2; exit 2; }
if [ "${1:-}" != "--inner" ]; then
  "$root/cmake/wine-prefix.sh" || exit 2
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
out="$build/screenshots"
mkdir -p "$out"
rc=0
shoot() {  # name, seconds to wait, demo arguments...
  local name=$1 wait=$2
  shift 2
  wine "$demo" "$@" &
  local pid=$!
  sleep "$wait"
  import -window root "$out/$name.png" || rc=1
  wait "$pid" || rc=1
}
shoot toolkit-demo 6 9
shoot toolkit-demo-menu 7 10 --menu
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
ls -l "$out"
exit $rc
