#!/usr/bin/env bash
# Installs what is missing, builds and starts the viewer on the bundled web
# shop with three metrics and three areas shown.
source "$(dirname "$0")/prepare.sh"
cd "$build/bin"
exec ./lumetra --metrics "$here/examples/webshop.met" \
  --metric "Lines of code" --metric Operations --metric Coupling \
  --area Checkout --area Payments --area Persistence \
  "$here/examples/webshop.xmi"
