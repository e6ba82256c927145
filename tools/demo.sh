#!/bin/sh
# The demo: the reference host loads the real kveltar_64.dlx under Wine, shows what the
# plug-in tells the modelling host about itself, then imports the project's sample
# model through the plug-in's import dialog (answered by the host on a virtual
# display) and writes what the plug-in built as OBJ, with the side text files beside
# the SOD file. Then the round trip the other way: an OBJ ship with hardpoint, emitter
# and sprite text files is exported through the export dialog to SOD files for both
# games, and the ST Armada 2 file is imported back to OBJ. Last, the bridge to glTF
# tools: the sample converted to .glb and back to SOD with its textures. Everything it
# writes goes to build/win64/demo.
set -e
# Everything runs on one virtual display with one Wine server: a Wine desktop started
# without a display would keep the later dialogs from showing.
if [ -z "$KVELTAR_DEMO_DISPLAY" ]; then
  exec env KVELTAR_DEMO_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
run="$root/tests/wine/run_in_wine.sh"
echo "== kveltar-host describe kveltar_64.dlx (under Wine)"
"$run" "$build/kveltar-host.exe" describe "$build/kveltar_64.dlx"

demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$root/docs/sample/frigate.sod" "$root"/docs/sample/frigate_*.tga "$demo/"
echo
echo "== kveltar-host import frigate.sod (under Wine; the import dialog is answered by the host)"
# Relative paths: the host, a Windows program, makes them absolute in its own terms.
cd "$demo"
"$run" "$build/kveltar-host.exe" import frigate.sod \
  --extract-hardpoints --extract-emitters --extract-sprites --convert-hardpoints --obj frigate.obj
echo
echo "== written beside the SOD file ($demo)"
ls -l
echo
echo "== frigate_hps.txt"
cat frigate_hps.txt

data="$root/tests/data/export"
cp "$data/ship.obj" "$data/ship.mtl" "$data/ship_hps.txt" "$data/ship_ems.txt" "$data/ship_sps.txt" .
for game in 1 2; do
  echo
  echo "== kveltar-host export ship.obj ship_armada$game.sod --game $game, with the three side text files"
  "$run" "$build/kveltar-host.exe" export ship.obj "ship_armada$game.sod" --game "$game" \
    --hardpoints ship_hps.txt --emitters ship_ems.txt --sprites ship_sps.txt
done
echo
echo "== kveltar-host import ship_armada2.sod, back to OBJ with its markers as geometry"
"$run" "$build/kveltar-host.exe" import ship_armada2.sod --convert-hardpoints --convert-emitters --convert-sprites \
  --obj ship_back.obj
echo
echo "== written ($demo)"
ls -l ship_armada1.sod ship_armada2.sod ship_back.obj ship_back.mtl

echo
echo "== kveltar-host convert frigate.sod frigate.glb, and back to SOD 1.93 (the bridge to Blender and other glTF tools)"
"$run" "$build/kveltar-host.exe" convert frigate.sod frigate.glb
mkdir -p back
"$run" "$build/kveltar-host.exe" convert frigate.glb back/frigate.sod --write-textures
echo
echo "== written ($demo)"
ls -l frigate.glb back
/usr/lib/wine/wineserver -k 2>/dev/null || true
