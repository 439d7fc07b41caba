#!/usr/bin/env bash
# Runs the Windows executable under Wine, against Wine's own WMI and registry,
# then shows the value it stored.   usage: run-under-wine.sh EXE PREFIX
set -euo pipefail
exe=$1
ZI370_WINEPREFIX=$2
source "$(dirname "$0")/wine-env.sh"
ensure_wine_prefix

set +e
wine "$exe"
status=$?
set -e
echo "zi370-rotate exited with status $status"
wine reg query 'HKLM\SYSTEM\CurrentControlSet\Services\ZI370' /v Rotate 2>/dev/null | tr -d '\r' |
  awk '$1 == "Rotate" { print "Rotate = " $3; found = 1 } END { if (!found) print "Rotate is not set" }'
wineserver -w
exit "$status"
