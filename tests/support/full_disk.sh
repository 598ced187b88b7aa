#!/usr/bin/env bash
# Runs a command with TOLVANE_FULL_DIR naming a folder on a file system of
# one page (4 KiB): room for one small file, and then for nothing more. Mounting needs
# root; without it the test skips (77), under CI=true it fails.
#   full_disk.sh COMMAND...
set -euo pipefail
if [ "$(id -u)" != 0 ]; then
  [ "${CI:-}" = true ] && { echo "FAIL: a full file system needs root (CI=true)" >&2; exit 1; }
  echo "SKIP: a full file system needs root"
  exit 77
fi
dir=$(mktemp -d /tmp/tolvane-full.XXXXXX)
mount -t tmpfs -o size=4k,mode=0777 tmpfs "$dir"
trap 'umount "$dir" && rmdir "$dir"' EXIT
TOLVANE_FULL_DIR=$dir "$@"
