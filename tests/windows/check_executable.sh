#!/usr/bin/env bash
# Checks that an executable is a 32-bit x86 Windows console program whose
# imports are all DLLs that every Windows installation has, and that it
# carries its version resource and an asInvoker manifest.
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

resources=$(i686-w64-mingw32-windres -i "$exe" -O rc 2>&1) || true
for entry in '"ProductName", "ZI370 Rotate"' '"FileVersion", "[0-9]+\.[0-9]+\.[0-9]+"' \
             'requestedExecutionLevel level=""asInvoker""' \
             'supportedOS Id=""\{35138b9a-5d96-4fbd-8e2d-a2440225f93a\}""' \
             'supportedOS Id=""\{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a\}""'; do
  grep -qE "$entry" <<<"$resources" || { echo "FAIL: resources lack $entry"; failed=1; }
done

system_dlls='^(kernel32|advapi32|msvcrt|ole32|oleaut32|user32|ntdll)\.dll$'
while read -r dll; do
  if ! grep -qiE "$system_dlls" <<<"$dll"; then echo "FAIL: imports $dll"; failed=1; fi
  echo "imports $dll"
done < <(awk '/DLL Name:/ { print $3 }' <<<"$headers")
exit $failed
