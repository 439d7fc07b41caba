#!/usr/bin/env bash
# Runs a Windows build of the tool under Wine, against Wine's own WMI and
# registry, then shows the value it stored.
#   usage: run-under-wine.sh x86|x64 EXE PREFIX_DIR
set -uo pipefail
arch=$1 exe=$2
source "$(dirname "$0")/wine-env.sh"
wine_setup "$arch" "$3"
case $? in
  0) ;;
  77) echo "zi370-rotate ($arch) cannot run here: $WINE_WHY_NOT" >&2; exit 1 ;;
  *) echo "zi370-rotate ($arch): could not prepare the Wine prefix $3" >&2; exit 1 ;;
esac
echo "running $WINE_HOW"
wine_app "$exe"
status=$?
echo "zi370-rotate exited with status $status"
rotate=$(wine_stored_rotate)
if [ -n "$rotate" ]; then echo "Rotate = $rotate"; else echo "Rotate is not set"; fi
"$WINESERVER" -w
exit "$status"
