#!/usr/bin/env bash
# Installs what is missing, builds and starts the viewer on a bundled example.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${LUMETRA_BUILD_DIR:-$here/build}"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh"
cd "$build/bin"
exec ./lumetra --version
