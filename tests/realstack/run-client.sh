#!/bin/bash
# The camera client through the harness: run-client.sh HARNESS CLIENT. The harness exports
# its camera's pictures for the client to compare with what it downloads.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/camera"
timeout 110 "$1" --export "$work/camera" -- "$2" "$work/camera" "$work"
