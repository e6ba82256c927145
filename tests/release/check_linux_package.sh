#!/bin/sh
# The Linux release archive as a user gets it: unpacked in a fresh folder, its host
# converts the sample to glTF with LD_LIBRARY_PATH empty, run from another
# folder; its programs need nothing but glibc's libraries and the ones beside them,
# which they find through $ORIGIN. Prints the highest glibc symbol version needed.
set -eu
archive="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
fresh="$(mktemp -d)"
trap 'rm -rf "$fresh"' EXIT
tar -C "$fresh" -xzf "$archive"
package="$fresh/$(basename "$archive" .tar.gz)"
fail=0
for file in "$package"/kveltar-host "$package"/*.so; do
  for library in $(objdump -p "$file" | awk '$1 == "NEEDED" || $1 == "RUNPATH" || $1 == "RPATH" {print $2}'); do
    case "$library" in
      libc.so.6 | libm.so.6 | libdl.so.2 | libpthread.so.0 | ld-linux-x86-64.so.2 | '$ORIGIN') ;;
      *) [ -f "$package/$library" ] || { echo "FAILED: $(basename "$file") needs $library"; fail=1; } ;;
    esac
  done
done
mkdir "$fresh/work" && cd "$fresh/work"
LD_LIBRARY_PATH= "$package/kveltar-host" convert "$package/frigate.sod" frigate.glb | tee convert.txt
grep -q "to frigate.glb: 3 meshes, 36 triangles" convert.txt || { echo "FAILED: no conversion"; fail=1; }
echo "glibc needed: $(objdump -T "$package"/kveltar-host "$package"/*.so | grep -o 'GLIBC_[0-9.]*' | sort -V -u | tail -1)"
exit $fail
