#!/bin/bash
# One case: run-case.sh CASE HARNESS PROGRAM. The program runs offscreen in a scratch home.
set -u
case_name=$1 harness=$2 program=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
fail() { echo "FAIL: $*"; echo "--- standard error:"; cat "$work/err"; exit 1; }

case $case_name in
  present)
    timeout 30 "$harness" -- timeout -s INT 12 "$program" 2>"$work/err"
    grep -q "getdir path" "$work/err" || fail "no directory listing on standard error"
    ;;
esac
echo "$case_name: passed"
