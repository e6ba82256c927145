#!/bin/sh
# The demo: the reference host loads the real kveltar_64.dlx under Wine and shows
# what the plug-in tells the modelling host about itself.
set -e
build="$1"
export WINEPREFIX="$(cd "$build" && pwd)/wineprefix" WINEDEBUG=-all
run="$(cd "$(dirname "$0")/.." && pwd)/tests/wine/run_in_wine.sh"
echo "== kveltar-host describe kveltar_64.dlx (under Wine)"
"$run" "$build/kveltar-host.exe" describe "$build/kveltar_64.dlx"
