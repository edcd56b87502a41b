#!/bin/sh
# What the benchmarks' reporting must show, run on one short benchmark:
#   check_reporting.sh json PROGRAM FILTER   its output with --benchmark_format=json is JSON
#   check_reporting.sh fails PROGRAM FILTER COUNTER
#       with the target COUNTER made impossible, the run fails: a FAILED line naming the
#       counter on standard error, and exit status 1
mode=$1 program=$2 filter=$3 counter=$4
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
case "$mode" in
  json)
    "$program" --benchmark_filter="$filter" --benchmark_min_time=0.01 --benchmark_format=json \
      >"$out" 2>"$err"
    python3 -c 'import json, sys; runs = json.load(open(sys.argv[1]))["benchmarks"]; assert runs, "no runs"' "$out" ||
      { echo "not JSON:"; head -20 "$out"; exit 1; }
    echo "JSON with its runs"
    ;;
  fails)
    PICTROVE_BENCH_LIMIT="$counter=-1e300" "$program" --benchmark_filter="$filter" \
      --benchmark_min_time=0.01 >"$out" 2>"$err"
    status=$?
    [ "$status" -eq 1 ] || { echo "exit status $status, not 1"; cat "$err"; exit 1; }
    grep -q "^FAILED .*: $counter .* is over " "$err" || { echo "no FAILED line:"; cat "$err"; exit 1; }
    grep "^FAILED" "$err"
    ;;
  *)
    echo "usage: check_reporting.sh json|fails PROGRAM FILTER [COUNTER]" >&2
    exit 2
    ;;
esac
