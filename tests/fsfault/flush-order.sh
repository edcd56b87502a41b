#!/bin/bash
# Seen from outside, as strace sees the unmodified pictrove-cli download the demo camera's
# pictures: each file's data is flushed before it takes its name, and the folder is flushed
# after that, picture by picture; and with every flush failing, the run says so by its exit
# status and leaves nothing under the pictures' names. flush-order.sh CLI SHIM
set -u
cli=$1 shim=$2
command -v strace >/dev/null || { echo "strace is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

mkdir "$work/out"
# The leak checker cannot run under a tracer: in a sanitizer build it is left out of this run.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 strace -f -qq -o "$work/trace" -e trace=fdatasync,fsync,renameat2,renameat,linkat \
  "$cli" --demo get --into "$work/out" >"$work/said" 2>&1 || fail "get exited with status $?"
pictures=$(ls "$work/out" | wc -l)
# Every file of the demo card: a dozen pictures, a movie and a raw picture with their
# thumbnail files, and a sound note.
[ "$pictures" -eq 17 ] || fail "$pictures files came, not 17"
# The calls in order, one word each: data flush, naming, folder flush.
order=$(awk '/fdatasync\(/ { print "data" } /renameat2?\(|linkat\(/ { print "name" }
             / fsync\(/ { print "folder" }' "$work/trace" | tr '\n' ' ')
expected=$(for _ in $(seq "$pictures"); do printf 'data name folder '; done)
[ "$order" = "$expected" ] || fail "the calls came as: $order"
grep -q 'renameat2(.*RENAME_NOREPLACE) = 0' "$work/trace" || fail "a name was given replacing what stood there"
echo "every picture: its data flushed, then named, then the folder flushed"

rm -rf "$work/out" && mkdir "$work/out"
# A sanitizer's runtime must come first among what is preloaded.
sanitizer=$(ldd "$cli" | awk '/libasan|libubsan/ { printf "%s:", $3 }')
LD_PRELOAD=$sanitizer$shim PICTROVE_FSFAULT_FOLDER=$work/out PICTROVE_FSFAULT_KIND=fdatasync \
  PICTROVE_FSFAULT_NTH=-1 PICTROVE_FSFAULT_ERRNO=5 "$cli" --demo get --into "$work/out" \
  >"$work/said" 2>&1
status=$?
[ $status -eq 1 ] || fail "with every flush failing, get exited with status $status"
[ -z "$(ls -A "$work/out")" ] || fail "with every flush failing, the folder holds: $(ls -A "$work/out")"
grep -q "Could not write to the file." "$work/said" || fail "the failed flush was not said"
echo "every flush failing: exit status 1, nothing left in the folder"
