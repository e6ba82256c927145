#!/bin/sh
# Takes docs/export-dialog.png: the reference host shows the real export dialog of the
# Windows build under Wine on a virtual display, with Wine drawing the window frames
# itself (there is no window manager), and saves it before pressing OK.
set -e
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="$build/wineprefix-screenshot" WINEDEBUG=-all
run="$root/tests/wine/run_in_wine.sh"
data="$root/tests/data/export"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  "'"$run"'" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1
  "'"$run"'" "'"$build"'/kveltar-host.exe" export "'"$data"'/ship.obj" "'"$build"'/screenshot_ship.sod" \
    --game 2 --hardpoints "'"$data"'/ship_hps.txt" --emitters "'"$data"'/ship_ems.txt" \
    --screenshot "'"$build"'/export_dialog.bmp"
  /usr/lib/wine/wineserver -k 2>/dev/null || true'
python3 "$root/tools/bmp_to_png.py" "$build/export_dialog.bmp" "$root/docs/export-dialog.png"
echo "docs/export-dialog.png written"
