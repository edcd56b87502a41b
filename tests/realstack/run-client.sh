#!/bin/bash
# The camera client through the harness: run-client.sh HARNESS CLIENT [PRODUCT second-group].
# The harness exports its camera's pictures for the client to compare with what it downloads.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/camera"
product=()
[ $# -ge 3 ] && product=(--product "$3")
timeout 110 "$1" "${product[@]}" --export "$work/camera" -- "$2" "$work/camera" "$work" "${@:4}"
