#!/bin/sh
# The Linux release archive as a user gets it: unpacked in a fresh folder, its host
# converts the sample to glTF and back with LD_LIBRARY_PATH empty, run from another
# folder; its programs need nothing but glibc's libraries and the ones beside them,
# and they find those through $ORIGIN. Prints the highest glibc symbol version needed.
set -eu
archive="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
fresh="$(mktemp -d)"
trap 'rm -rf "$fresh"' EXIT
tar -C "$fresh" -xzf "$archive"
package="$fresh/$(basename "$archive" .tar.gz)"
fail=0
for file in "$package"/kveltar-host "$package"/*.so; do
  needed=$(objdump -p "$file" | awk '$1 == "NEEDED" {print $2}')
  for library in $needed; do
    case "$library" in
      libc.so.6 | libm.so.6 | libdl.so.2 | libpthread.so.0 | ld-linux-x86-64.so.2) ;;
      *) if [ ! -f "$package/$library" ]; then echo "FAILED: $(basename "$file") needs $library"; fail=1; fi ;;
    esac
  done
  runpath=$(objdump -p "$file" | awk '$1 == "RUNPATH" || $1 == "RPATH" {print $2}')
  if [ -n "$runpath" ] && [ "$runpath" != '$ORIGIN' ]; then echo "FAILED: $(basename "$file") searches $runpath"; fail=1; fi
done
mkdir "$fresh/work"
cd "$fresh/work"
LD_LIBRARY_PATH= "$package/kveltar-host" convert "$package/frigate.sod" frigate.glb > convert.txt
LD_LIBRARY_PATH= "$package/kveltar-host" convert frigate.glb frigate.sod --game 1 >> convert.txt
cat convert.txt
grep -q "to frigate.glb: 3 meshes, 36 triangles" convert.txt || { echo "FAILED: no glTF file"; fail=1; }
grep -q "to frigate.sod: 3 meshes, 36 triangles" convert.txt || { echo "FAILED: no SOD file"; fail=1; }
[ -s frigate.sod ] || { echo "FAILED: frigate.sod not written"; fail=1; }
echo "glibc needed: $(objdump -T "$package"/kveltar-host "$package"/*.so | grep -o 'GLIBC_[0-9.]*' | sort -t. -k1,1 -k2,2n -k3,3n -V -u | tail -1)"
exit $fail
