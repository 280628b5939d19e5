#!/usr/bin/env bash
# Installs what is missing, builds and starts the viewer on the bundled web
# shop with three metrics and three areas shown.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${LUMETRA_BUILD_DIR:-$here/build}"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh"
cd "$build/bin"
exec ./lumetra --metrics "$here/examples/webshop.met" \
  --metric "Lines of code" --metric Operations --metric Coupling \
  --area Checkout --area Payments --area Persistence \
  "$here/examples/webshop.xmi"
