#!/bin/sh
# The demo: the reference host loads the real kveltar_64.dlx under Wine, shows what the
# plug-in tells the modelling host about itself, and exports a small OBJ ship with its
# hardpoint, emitter and sprite text files to SOD files for both games, through the
# real export dialog on a virtual display.
set -e
build="$1"
export WINEPREFIX="$(cd "$build" && pwd)/wineprefix" WINEDEBUG=-all
root="$(cd "$(dirname "$0")/.." && pwd)"
export KVELTAR_RUN="$root/tests/wine/run_in_wine.sh" KVELTAR_HOST="$build/kveltar-host.exe" \
       KVELTAR_DATA="$root/tests/data/export" KVELTAR_OUT="$build/demo" KVELTAR_PLUGIN="$build/kveltar_64.dlx"
mkdir -p "$KVELTAR_OUT"
/usr/lib/wine/wineserver -k 2>/dev/null || true
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  echo "== kveltar-host describe kveltar_64.dlx (under Wine)"
  "$KVELTAR_RUN" "$KVELTAR_HOST" describe "$KVELTAR_PLUGIN"
  for game in 1 2; do
    echo "== kveltar-host export ship.obj ship_armada$game.sod --game $game, with the three side text files"
    "$KVELTAR_RUN" "$KVELTAR_HOST" export "$KVELTAR_DATA/ship.obj" "$KVELTAR_OUT/ship_armada$game.sod" --game $game \
      --hardpoints "$KVELTAR_DATA/ship_hps.txt" --emitters "$KVELTAR_DATA/ship_ems.txt" \
      --sprites "$KVELTAR_DATA/ship_sps.txt"
  done
  /usr/lib/wine/wineserver -k 2>/dev/null || true'
ls -l "$KVELTAR_OUT"/*.sod
