#!/bin/sh
# Runs a Windows program of the build under Wine, in the build's own Wine prefix.
# The first run creates the prefix; a lock keeps parallel first runs from racing.
set -e
: "${WINEPREFIX:?set WINEPREFIX to the build's Wine prefix}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}"
WINE=/usr/lib/wine/wine64
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  flock "$WINEPREFIX.lock" sh -c "[ -f '$WINEPREFIX/system.reg' ] || { $WINE wineboot -i >/dev/null 2>&1; /usr/lib/wine/wineserver -w; }"
fi
exec "$WINE" "$@"
