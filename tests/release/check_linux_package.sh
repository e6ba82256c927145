#!/bin/sh
# The Linux release archive unpacked in a fresh folder. Its kveltar-host is static (no
# interpreter, no shared library) and, in an empty root folder holding itself, /tmp and
# the sample, converts the sample to GLB byte for byte as the native host $2 does and
# reads a damaged file with exit 2 and its message. kveltar.so needs nothing but glibc's
# libraries and those beside it ($ORIGIN); prints the newest glibc symbol it needs.
set -eu
archive="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
native_host="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
fresh="$(mktemp -d)"
trap 'rm -rf "$fresh"' EXIT
tar -C "$fresh" -xzf "$archive"
package="$fresh/$(basename "$archive" .tar.gz)"
fail=0
failed() { echo "FAILED: $*"; fail=1; }
host="$package/kveltar-host"
file "$host" | grep -q 'statically linked' || failed "kveltar-host is not statically linked"
readelf -l "$host" | grep -q INTERP && failed "kveltar-host asks for a program interpreter"
readelf -d "$host" | grep -q NEEDED && failed "kveltar-host needs shared libraries"

for file in "$package"/*.so; do
  for library in $(objdump -p "$file" | awk '$1 == "NEEDED" || $1 == "RUNPATH" || $1 == "RPATH" {print $2}'); do
    case "$library" in
      libc.so.6 | libm.so.6 | libdl.so.2 | libpthread.so.0 | ld-linux-x86-64.so.2 | '$ORIGIN') ;;
      *) [ -f "$package/$library" ] || failed "$(basename "$file") needs $library" ;;
    esac
  done
done

# The empty root: the host, /tmp, and the sample with its textures in /model.
root="$fresh/root"
mkdir -p "$root/tmp" "$root/model"
cp "$host" "$root/"
cp "$package"/frigate.sod "$package"/frigate_*.tga "$root/model/"
head -c 300 "$package/frigate.sod" >"$root/model/damaged.sod"
in_root() {
  if [ "$(id -u)" -eq 0 ]; then chroot "$root" "$@"; else unshare --map-root-user --root="$root" "$@"; fi
}

in_root /kveltar-host convert /model/frigate.sod /tmp/frigate.glb | tee "$fresh/convert.txt"
grep -q "to /tmp/frigate.glb: 3 meshes, 36 triangles" "$fresh/convert.txt" || failed "no conversion in the empty root"
(cd "$root" && "$native_host" convert model/frigate.sod tmp/native.glb >/dev/null)
cmp "$root/tmp/frigate.glb" "$root/tmp/native.glb" || failed "the GLB differs from the native build's"

status=0
in_root /kveltar-host convert /model/damaged.sod /tmp/damaged.glb 2>"$fresh/damaged.txt" || status=$?
cat "$fresh/damaged.txt"
[ "$status" -eq 2 ] || failed "a damaged file exits $status, not 2"
grep -q "could not read /model/damaged.sod: the file is damaged or cut short" "$fresh/damaged.txt" ||
  failed "no message for the damaged file"

echo "kveltar-host: $(stat -c %s "$host") bytes"
echo "kveltar.so: glibc needed: $(objdump -T "$package"/*.so | grep -o 'GLIBC_[0-9.]*' | sort -V -u | tail -1)"
exit $fail
