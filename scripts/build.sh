#!/usr/bin/env bash
# Installs the dependencies, then configures and builds the default preset.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
