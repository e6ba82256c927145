#!/bin/sh
# Takes the pictures of the dialogs shown in README.md: the real kveltar_64.dlx under
# Wine on a virtual X display, importing the sample model or exporting the OBJ ship of
# the tests, with the dialog left open for the user; the dialog's window is captured
# and converted to PNG.
#   tools/screenshot.sh build/win64 docs/import-dialog.png
#   tools/screenshot.sh build/win64 docs/export-dialog.png export
set -e
build="$(cd "$1" && pwd)"
out="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
root="$(cd "$(dirname "$0")/.." && pwd)"
# A prefix of its own, in which Wine draws window frames and captions itself (there is
# no window manager on the virtual display to draw them).
export WINEPREFIX="$build/screenshot-prefix" WINEDEBUG=-all
work="$build/screenshot"
rm -rf "$work"
mkdir -p "$work"
if [ "$3" = export ]; then
  cp "$root/tests/data/export/ship.obj" "$root/tests/data/export/ship.mtl" "$work/"
  set -- export ship.obj ship.sod
  caption="Export SOD Model"
else
  cp "$root/docs/sample/frigate.sod" "$work/"
  set -- import frigate.sod
  caption="Import ST Armada Model"
fi
cd "$work"

"$root/tests/wine/run_in_wine.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w

display=:77
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
"$root/tests/wine/run_in_wine.sh" "$build/kveltar-host.exe" "$@" --interactive >/dev/null 2>&1 &
host=$!
cleanup() {
  kill "$host" 2>/dev/null || true
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 1 120); do
  if xwininfo -root -tree 2>/dev/null | grep -q "\"$caption\""; then break; fi
  sleep 0.5
done
sleep 2  # let the dialog finish painting
xwd -silent -name "$caption" | xwdtopnm 2>/dev/null | pnmtopng > "$out"
echo "wrote $out"
