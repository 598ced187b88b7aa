#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the suite, the same suite
# under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer, the
# fuzz targets for a bounded time, the Windows layers under Wine, and two
# builds of the release artefacts compared byte for byte. As root the
# network tests run for real in namespaces of their own; otherwise they
# skip (and under CI=true they fail).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build.sh
ctest --preset default

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

bash scripts/fuzz.sh "${TOLVANE_FUZZ_SECONDS:-60}"
bash scripts/test-windows.sh
bash scripts/reproduce.sh
