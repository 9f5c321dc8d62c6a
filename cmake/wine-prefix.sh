#!/usr/bin/env bash
# Creates the private Wine prefix once: no Mono/Gecko prompts, no crash dialogs, windows that
# draw their own frames (there is no window manager under Xvfb).
set -eu
: "${WINEPREFIX:?WINEPREFIX must name the private prefix}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
if [ ! -f "$WINEPREFIX/.pyravel-ready" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
  wineserver -w
  touch "$WINEPREFIX/.pyravel-ready"
fi
# Debian keeps Wine's own fonts (Marlett for the caption buttons, Tahoma for "MS Shell Dlg") where this
# Wine does not look for them; the prefix's font folder is always searched.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
for f in /usr/share/wine/fonts/*.ttf; do
  [ -e "$f" ] && [ ! -e "$fonts/$(basename "$f")" ] && { mkdir -p "$fonts"; cp "$f" "$fonts/"; }
done
exit 0
