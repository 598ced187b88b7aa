#!/usr/bin/env bash
# Builds the .deb with CPack and lets lintian judge it: any error or warning
# fails; infos are shown. An override belongs in the package only with a
# written reason next to it.
# Usage: lintian_test.sh BUILD_DIR LINTIAN
set -euo pipefail

build=$(cd "$1" && pwd)
lintian=$2
scratch=$(mktemp -d /tmp/tolvane-lintian.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
  || { cat "$scratch/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
deb=$(ls "$scratch"/out/tolvane_*.deb)
echo "lintian $("$lintian" --version | awk '{print $2}') on $(basename "$deb"):"
status=0
"$lintian" --fail-on error,warning --display-info --pedantic "$deb" >"$scratch/lintian.log" 2>&1 \
  || status=$?
cat "$scratch/lintian.log"
[ "$status" = 0 ] || { echo "FAIL: lintian found errors or warnings (exit $status)" >&2; exit 1; }
# Some hardening tags are only infos; the build must give none of them.
if grep -q ': hardening-' "$scratch/lintian.log"; then
  echo "FAIL: the binary lacks hardening" >&2; exit 1
fi
echo "lintian: no error, no warning, no hardening tag"
