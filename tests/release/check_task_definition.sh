#!/usr/bin/env bash
# The Task Scheduler definition: well-formed UTF-16 XML that says what the
# README promises, and accepted by Wine's `schtasks /create /xml`. Wine's
# scheduler keeps only part of a definition, so the import shows that the
# file parses as a task, not that Windows would run it as described.
#   usage: check_task_definition.sh TASK_XML PREFIX_DIR
set -uo pipefail
task=$1
failed=0
fail() { echo "FAIL: $1"; failed=1; }

xmllint --noout "$task" || { echo "FAIL: $task is not well-formed XML"; exit 1; }
value() {  # the text at a path of element names below Task, whatever their namespace
  local path="/*[local-name()='Task']" step
  for step in ${1//\// }; do path+="/*[local-name()='$step']"; done
  xmllint --xpath "string($path)" "$task" 2>/dev/null
}
expect() {  # path, pattern its whole text must match
  local actual
  actual=$(value "$1")
  if grep -qxE "$2" <<<"$actual"; then echo "ok   $1 = $actual"; else fail "$1 is '$actual', expected /$2/"; fi
}
expect Triggers/BootTrigger/Enabled 'true'
expect Triggers/BootTrigger/Delay 'PT([1-9]|[1-5][0-9])M|PT[1-9][0-9]*S'   # a short delay, so that WMI is up
expect Principals/Principal/UserId 'S-1-5-18'                        # SYSTEM
expect Principals/Principal/RunLevel 'HighestAvailable'
expect Settings/DisallowStartIfOnBatteries 'false'
expect Settings/StopIfGoingOnBatteries 'false'
expect Settings/ExecutionTimeLimit 'PT([1-9]|1[0-5])M'              # a few minutes
expect Settings/MultipleInstancesPolicy 'IgnoreNew'
expect Settings/Enabled 'true'
expect Actions/Exec/Command '%ProgramFiles%\\ZI370\\x86\\zi370-rotate\.exe'   # the README's install folder

source "$(dirname "$0")/../../scripts/wine-env.sh"
wine_setup_or_skip x64 "$2"
import_task() { timeout 120 "$WINE_TOOL_LOADER" schtasks /create /xml "$(windows_path "$1")" /tn "$2" /f; }
if import_task "$(realpath "$task")" 'ZI370 Rotate'; then
  echo "ok   imported by Wine's schtasks /create /xml"
else
  fail "Wine's schtasks /create /xml refused the definition"
fi
# The same import refuses the same document under another root element, so
# the one above could fail. (A file cut short is no control: Wine's parser
# spins on it.)
not_a_task=$WINEPREFIX/drive_c/not-a-task.xml
iconv -f UTF-16 -t UTF-8 "$task" | sed 's|<Task |<Schedule |; s|</Task>|</Schedule>|' | iconv -f UTF-8 -t UTF-16 >"$not_a_task"
if import_task "$not_a_task" 'ZI370 Not A Task' >/dev/null 2>&1; then
  fail "Wine's schtasks /create /xml accepted a document that is not a task"
fi
"$WINESERVER" -w
exit $failed
