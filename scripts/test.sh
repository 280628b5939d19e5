#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (GL tests under Xvfb).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${LUMETRA_BUILD_DIR:-$here/build}"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
