#!/usr/bin/env bash
# End-to-end cases of the shipped zi370-rotate.exe of one architecture under
# Wine: real COM activation, OLE automation and registry, with WMI served by
# the test provider DLL of the same architecture. One prefix, one table of
# cases. Exits 77 (skipped), with one line saying why, when this machine
# cannot run that architecture's programs.
#   usage: wine_cases.sh x86|x64 EXE PROVIDER_DLL PREFIX_DIR
set -uo pipefail
arch=$1
exe=$2
provider=$3
source "$(dirname "$0")/../../scripts/wine-env.sh"
wine_setup_or_skip "$arch" "$4"
echo "wine ($arch): $WINE_HOW"
"$WINESERVER" -p  # one server for the whole run: each start of wine is then quick
trap '"$WINESERVER" -k 2>/dev/null' EXIT

locator_server='HKLM\Software\Classes\CLSID\{4590F811-1D3A-11D0-891F-00AA004B2E24}\InprocServer32'
report=$WINEPREFIX/provider-report.txt

# The executable, unmodified, in a folder of its own beside a DLL planted
# under a name that a process may load by bare name: a hardened start keeps
# the folder out of the DLL search, so the provider must not get it loaded.
install_dir=$WINEPREFIX/drive_c/zi370
mkdir -p "$install_dir"
cp "$exe" "$install_dir/zi370-rotate.exe"
cp "$provider" "$install_dir/zi370_planted.dll"

# Wine's own registration, to put back for the case that uses Wine's WMI.
wine_provider=$(wine_reg query "$locator_server" /ve 2>/dev/null | tr -d '\r' |
  awk '/REG_SZ/ { sub(/.*REG_SZ[ \t]+/, ""); print }')
case "$wine_provider" in *zi370_test_wmi*|"") wine_provider='C:\windows\system32\wbem\wbemprox.dll' ;; esac

use_provider() {  # test | wine | none (the locator class unregistered)
  local dll=$wine_provider
  if [ "$1" = none ]; then
    wine_reg delete "${locator_server%\\InprocServer32}" /f >/dev/null 2>&1
    return 0
  fi
  [ "$1" = test ] && dll=$(windows_path "$(realpath "$provider")")
  wine_reg add "$locator_server" /ve /d "$dll" /f >/dev/null 2>&1 &&
    wine_reg add "$locator_server" /v ThreadingModel /d Both /f >/dev/null 2>&1
}

# Table building: bytes as hex.
hex() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }
oem() {  # OEM Strings structure with the given strings
  local strings=""
  for s in "$@"; do strings+="$(hex "$s")00"; done
  [ $# -eq 0 ] && strings="00"
  printf '0b050b00%02x%s00' $# "$strings"
}
table() {  # BIOS Information, the given structures, End-of-Table
  printf '0005000001%s0000%s7f04ffff0000' "$(hex V)" "$(IFS=; echo "$*")"
}
t01=$(table "$(oem 01)")

# name | tables (comma-separated instances; 'empty': 0 bytes; '': no instance)
#      | fault | SMBiosData shape | Rotate before ('absent': no key) | arguments | expected Rotate
cases=(
  "flag 01|$t01|||0||1"
  "flag beginning with 01|$(table "$(oem 0123 Panel)")|||0||1"
  "flag 00|$(table "$(oem 00)")|||1||0"
  "flag 10|$(table "$(oem 10)")|||1||0"
  "flag 0|$(table "$(oem 0)")|||1||0"
  "empty string-set|$(table "$(oem)")|||1||0"
  "no OEM Strings structure|$(table)|||1||0"
  "first OEM 00, second 01|$(table "$(oem 00)" "$(oem 01)")|||1||0"
  "key created when missing|$t01|||absent||1"
  "arguments ignored|$t01|||0|/rotate=0 --help|1"
  "only the first instance read|$(table "$(oem 00)"),$t01|||1||0"
  "ConnectServer fails|$t01|ConnectServer||1||0"
  "CoSetProxyBlanket fails|$t01|CoSetProxyBlanket||1||0"
  "CreateInstanceEnum fails|$t01|CreateInstanceEnum||1||0"
  "Next fails|$t01|Next||1||0"
  "Next returns no object||||1||0"
  "Get SmbiosMajorVersion fails|$t01|SmbiosMajorVersion||1||0"
  "Get SmbiosMinorVersion fails|$t01|SmbiosMinorVersion||1||0"
  "Get SMBiosData fails|$t01|SMBiosData||1||0"
  "SMBiosData is VT_NULL|$t01||null|1||0"
  "SMBiosData is a string|$t01||string|1||0"
  "SMBiosData has 0 elements|empty|||1||0"
)

set_before() {
  case "$1" in
    absent) wine_tool reg delete "$zi370_service_key" /f >/dev/null 2>&1; return 0 ;;
    *) wine_tool reg add "$zi370_service_key" /v Rotate /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ;;
  esac
}

report_field() { tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"; }

passed=0
failed=0
check() {  # name, condition description, actual, expected
  if [ "$3" != "$4" ]; then
    echo "  $1: $2 is '$3', expected '$4'"
    return 1
  fi
}

run_case() {  # name, tables, fault, data, before, arguments, expected rotate, provider
  local name=$1 tables=$2 fault=$3 data=$4 before=$5 arguments=$6 expected=$7 which=${8:-test}
  use_provider "$which" && set_before "$before" || { echo "  $name: could not prepare the prefix"; return 1; }
  rm -f "$report"
  local output status ok=0
  # shellcheck disable=SC2086  # the arguments are split on purpose
  output=$(ZI370_TEST_WMI_TABLES=$tables ZI370_TEST_WMI_FAULT=$fault ZI370_TEST_WMI_DATA=$data \
           ZI370_TEST_WMI_REPORT=$(windows_path "$report") wine_app "$install_dir/zi370-rotate.exe" $arguments 2>&1)
  status=$?
  check "$name" "exit status" "$status" 0 || ok=1
  check "$name" "output" "$output" "" || ok=1
  check "$name" "Rotate" "$(wine_stored_rotate)" "0x$expected" || ok=1
  if [ "$which" = test ]; then
    # Every object the provider handed out was released, and the process had
    # started hardened: no error dialogs (SEM_FAILCRITICALERRORS |
    # SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX), its folder not searched.
    local reported
    reported=$(tr -d '\r' <"$report" 2>/dev/null)
    check "$name" "objects handed out" "$(report_field created "$reported" | grep -c '^[1-9]')" 1 || ok=1
    check "$name" "objects still referenced" "$(report_field live "$reported")" 0 || ok=1
    check "$name" "error mode" "$(report_field errormode "$reported")" 32771 || ok=1
    check "$name" "planted DLL loaded" "$(report_field planted "$reported")" 0 || ok=1
  fi
  return $ok
}

record() {
  if "$@"; then passed=$((passed + 1)); echo "ok   $2"; else failed=$((failed + 1)); echo "FAIL $2"; fi
}

for entry in "${cases[@]}"; do
  IFS='|' read -r name tables fault data before arguments expected <<<"$entry"
  record run_case "$name" "$tables" "$fault" "$data" "$before" "$arguments" "$expected"
done
record run_case "CoCreateInstance fails: class not registered" "$t01" "" "" 1 "" 0 none
record run_case "Wine's own WMI" "" "" "" 1 "" 0 wine
use_provider test >/dev/null

echo "wine ($arch): $passed passed, $failed failed"
[ "$failed" -eq 0 ]
