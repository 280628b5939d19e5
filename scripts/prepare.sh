#!/usr/bin/env bash
# Sourced by run.sh and test.sh: installs what is missing and builds. Sets
# $here (the checkout) and $build (the build folder).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LUMETRA_BUILD_DIR:-$here/build}"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh"
