#!/usr/bin/env bash
# The release's SetupComplete.cmd under Wine's cmd of one architecture, laid
# out as the README says: it runs the build that fits that Windows (x64 on a
# 64-bit one, from a 32-bit cmd too), which stores Rotate, and appends the
# exit status with a time stamp to its log. Exits 77 (skipped), saying why,
# where this machine cannot run that architecture's programs.
#   usage: check_setup_script.sh x86|x64 ZIP PREFIX_DIR
set -uo pipefail
arch=$1 zip=$2
source "$(dirname "$0")/../../scripts/wine-env.sh"
wine_setup_or_skip "$arch" "$3"
echo "cmd ($arch): $WINE_HOW"
"$WINESERVER" -p
trap '"$WINESERVER" -k 2>/dev/null' EXIT

# What fits this Windows: a win64 prefix is 64-bit Windows.
fitting=x86
[ "$WINEARCH" = win64 ] && fitting=x64

drive_c=$WINEPREFIX/drive_c
install_dir="$drive_c/Program Files/ZI370"
scripts_dir=$drive_c/windows/Setup/Scripts
log=$scripts_dir/zi370-rotate.log

lay_out() {
  rm -rf "$install_dir" "$scripts_dir"
  mkdir -p "$install_dir" "$scripts_dir"
  python3 -m zipfile -e "$zip" "$install_dir" &&
    mv "$install_dir/SetupComplete.cmd" "$scripts_dir/"
}

failed=0
# name | folder removed from the install | expected exit status | expected Rotate
cases=(
  "stores Rotate and logs status 0||0|0x0"
  "logs the status when the executable is missing|$fitting|9009|0x7"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name removed status rotate <<<"$entry"
  ok=1
  lay_out || { echo "FAIL $name: could not lay out $zip"; failed=1; continue; }
  [ -n "$removed" ] && rm -rf "${install_dir:?}/$removed"
  wine_tool reg add "$zi370_service_key" /v Rotate /t REG_DWORD /d 7 /f >/dev/null 2>&1
  wine_app cmd /c 'C:\windows\Setup\Scripts\SetupComplete.cmd' >/dev/null 2>&1
  actual=$?
  line=$(tr -d '\r' <"$log" 2>/dev/null)
  # A Unix exit status keeps the low 8 bits of Windows' 32.
  [ "$actual" = $((status & 255)) ] || { echo "  script exit status is $actual, expected $((status & 255))"; ok=0; }
  [ "$(wine_stored_rotate)" = "$rotate" ] || { echo "  Rotate is '$(wine_stored_rotate)', expected $rotate"; ok=0; }
  # One line: a date and a time, then which build ran and its exit status.
  grep -qxE "[0-9][^ ]* [0-9][0-9:.,]*( [AP]M)? zi370-rotate $fitting exit status $status" <<<"$line" ||
    { echo "  log is '$line', expected a time stamp and 'zi370-rotate $fitting exit status $status'"; ok=0; }
  if [ $ok -eq 1 ]; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
done
exit $failed
