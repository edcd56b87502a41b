#!/bin/sh
# replay.sh BUILD_DIR: runs every fuzz binary of the build once over each input of its seed
# corpus (fuzz/corpus/NAME/ for BUILD_DIR/fuzz/NAME_fuzz). Fails when a binary is missing,
# an input crashes, or a corpus takes more than a minute.
set -eu
build=$(cd "${1:?usage: replay.sh BUILD_DIR}" && pwd)
# Absolute paths: a target may change its working folder.
corpora=$(cd "$(dirname "$0")" && pwd)/corpus
status=0
for corpus in "$corpora"/*; do
  name=$(basename "$corpus")
  binary=$build/fuzz/${name}_fuzz
  if [ ! -x "$binary" ]; then
    echo "replay: $binary is missing" >&2
    status=1
    continue
  fi
  if timeout 60 "$binary" -runs=0 "$corpus" >"$build/fuzz/$name-replay.log" 2>&1; then
    echo "replay: $name: $(ls "$corpus" | wc -l) inputs ok"
  else
    echo "replay: $name failed, see $build/fuzz/$name-replay.log" >&2
    status=1
  fi
done
exit $status
