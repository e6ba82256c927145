#!/bin/sh
# Runs the Windows build's tests under Wine on a virtual display, in the build's own
# Wine prefix, with one Wine server kept up for the whole run.
set -e
build="$1"
export WINEPREFIX="$(cd "$build" && pwd)/wineprefix" WINEDEBUG=-all
here="$(cd "$(dirname "$0")" && pwd)"
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  "'"$here"'/run_in_wine.sh" cmd /c exit 0 >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -p 60 2>/dev/null || true
  ctest --test-dir "'"$build"'" --output-on-failure; rc=$?
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  exit $rc'
