#!/usr/bin/env bash
# Checks that an executable is a 32-bit x86 Windows console program whose
# imports are all DLLs that every Windows installation has.
set -euo pipefail
exe=$1
headers=$(i686-w64-mingw32-objdump -p "$exe")
failed=0
expect() {
  if ! grep -qE "$1" <<<"$headers"; then echo "FAIL: $2"; failed=1; fi
}
expect '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' "not a PE32 image"
expect '^Subsystem[[:space:]]+00000003[[:space:]]+\(Windows CUI\)' "not a console program"
i686-w64-mingw32-objdump -f "$exe" | grep -q 'architecture: i386' || { echo "FAIL: not an i386 image"; failed=1; }

system_dlls='^(kernel32|advapi32|msvcrt|ole32|oleaut32|user32|ntdll)\.dll$'
while read -r dll; do
  if ! grep -qiE "$system_dlls" <<<"$dll"; then echo "FAIL: imports $dll"; failed=1; fi
  echo "imports $dll"
done < <(awk '/DLL Name:/ { print $3 }' <<<"$headers")
exit $failed
