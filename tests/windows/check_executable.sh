#!/usr/bin/env bash
# Checks that an executable is a Windows console program of the given
# architecture whose imports are all DLLs that every Windows installation has,
# that it carries its version resource and an asInvoker manifest naming that
# architecture, and that it resolves the newer loader functions at run time.
#   usage: check_executable.sh EXE x86|x64 OBJDUMP WINDRES
set -euo pipefail
exe=$1 arch=$2 objdump=$3 windres=$4
case "$arch" in
  x86) magic='010b[[:space:]]+\(PE32\)' machine='i386' manifest_arch=x86 ;;
  x64) magic='020b[[:space:]]+\(PE32\+\)' machine='i386:x86-64' manifest_arch=amd64 ;;
  *) echo "check_executable: unknown architecture '$arch'" >&2; exit 2 ;;
esac
headers=$("$objdump" -p "$exe")
failed=0
fail() { echo "FAIL: $1"; failed=1; }
grep -qE "^Magic[[:space:]]+$magic" <<<"$headers" || fail "not a $arch image (optional header magic)"
grep -qE '^Subsystem[[:space:]]+00000003[[:space:]]+\(Windows CUI\)' <<<"$headers" || fail "not a console program"
"$objdump" -f "$exe" | grep -qx "architecture: $machine, .*" || fail "machine is not $machine"

resources=$("$windres" -i "$exe" -O rc 2>&1) || true
for entry in '"ProductName", "ZI370 Rotate"' '"FileVersion", "[0-9]+\.[0-9]+\.[0-9]+"' \
             "processorArchitecture=\"\"$manifest_arch\"\"" \
             'requestedExecutionLevel level=""asInvoker""' \
             'supportedOS Id=""\{35138b9a-5d96-4fbd-8e2d-a2440225f93a\}""' \
             'supportedOS Id=""\{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a\}""'; do
  grep -qE "$entry" <<<"$resources" || fail "resources lack $entry"
done

system_dlls='^(kernel32|advapi32|msvcrt|ole32|oleaut32|user32|ntdll)\.dll$'
while read -r dll; do
  grep -qiE "$system_dlls" <<<"$dll" || fail "imports $dll"
  echo "imports $dll"
done < <(awk '/DLL Name:/ { print $3 }' <<<"$headers")

# The hardened start: SetErrorMode and SetDllDirectoryW are imported, while
# SetDefaultDllDirectories, which Windows 7 may lack, must not be, or the
# executable would not start there at all.
imported() { awk '$1 ~ /^[0-9a-f]+$/ && NF == 3 { print $3 }' <<<"$headers" | grep -qx "$1"; }
imported SetErrorMode || fail "does not import SetErrorMode"
imported SetDllDirectoryW || fail "does not import SetDllDirectoryW"
! imported SetDefaultDllDirectories || fail "imports SetDefaultDllDirectories instead of resolving it at run time"
exit $failed
