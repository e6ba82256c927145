#!/bin/sh
# Checks the DLL's exported surface (PluginProc @1, PluginVersion @2, nothing else)
# and that it imports from Windows system DLLs only (the runtimes are linked in).
set -e
dll="$1"
dump=$(x86_64-w64-mingw32-objdump -p "$dll")
fail=0
names=$(echo "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/ {n++; next} n == 1 && /^[[:space:]]*\[/ {print} n == 1 && /^$/ {exit}')
echo "$dump" | grep -Eq '^Ordinal Base\s+1$' || { echo "ordinal base is not 1"; fail=1; }
echo "$names" | grep -Eq '^\s*\[\s*0\] PluginProc$' || { echo "PluginProc is not ordinal 1"; fail=1; }
echo "$names" | grep -Eq '^\s*\[\s*1\] PluginVersion$' || { echo "PluginVersion is not ordinal 2"; fail=1; }
count=$(echo "$names" | grep -c .)
[ "$count" -eq 2 ] || { echo "expected exactly 2 exports, found $count"; fail=1; }
for name in $(echo "$dump" | sed -n 's/^\s*DLL Name: //p'); do
  case "$(echo "$name" | tr 'A-Z' 'a-z')" in
    kernel32.dll|user32.dll|gdi32.dll|comdlg32.dll|msvcrt.dll|advapi32.dll|api-ms-win-*) echo "imports $name" ;;
    *) echo "imports a non-system DLL: $name"; fail=1 ;;
  esac
done
[ $fail -eq 0 ] && echo "exports: PluginProc @1, PluginVersion @2"
exit $fail
