#!/usr/bin/env bash
# The release zip holds exactly the files it should, SHA256SUMS verifies them
# with `sha256sum -c`, and the Windows-format files kept their format.
#   usage: check_package.sh ZIP
set -uo pipefail
zip=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $1"; failed=1; }

python3 -m zipfile -e "$zip" "$work" || { echo "FAIL: $zip cannot be extracted"; exit 1; }
expected='DEPLOYING.txt SHA256SUMS SetupComplete.cmd x64/zi370-rotate.exe x86/zi370-rotate.exe zi370-rotate.task.xml'
actual=$(cd "$work" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs)
[ "$actual" = "$expected" ] || fail "the zip holds '$actual', expected '$expected'"

(cd "$work" && sha256sum -c SHA256SUMS) || fail "SHA256SUMS does not verify"
[ "$(grep -c . "$work/SHA256SUMS")" -eq 5 ] || fail "SHA256SUMS does not cover the five other files"

[ "$(head -c 2 "$work/zi370-rotate.task.xml" | od -An -tx1 | tr -d ' ')" = fffe ] ||
  fail "the task definition is not UTF-16 (little-endian, with its byte order mark)"
grep -q $'\r$' "$work/SetupComplete.cmd" && ! grep -q $'[^\r]$' "$work/SetupComplete.cmd" ||
  fail "SetupComplete.cmd does not have CRLF line ends throughout"
grep -q '^## Deploying' "$work/DEPLOYING.txt" || fail "DEPLOYING.txt is not the README's deployment part"
exit $failed
