#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (GL tests under Xvfb).
source "$(dirname "$0")/prepare.sh"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
