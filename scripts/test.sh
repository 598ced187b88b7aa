#!/usr/bin/env bash
# Builds everything and runs the whole test suite. As root the network
# tests run for real in namespaces of their own; otherwise they skip.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --preset default
