#!/bin/bash
# Runs a Windows program under Wine in a private prefix beside the build folders
# (build/wineprefix), initialised once under a lock so parallel tests don't race.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${ZV_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY="${DISPLAY:-:57}"
wine=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/.zv-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.zv-ready" ]; then
      "$wine" wineboot -i </dev/null >/dev/null 2>&1
      # A virtual desktop makes windows cheap on a bare Xvfb (no window manager).
      "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
      "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
      /usr/lib/wine/wineserver -w
      touch "$WINEPREFIX/.zv-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
