#!/usr/bin/env bash
# Builds the Debian package lumetra_<version>_<arch>.deb with CPack in a
# release build of its own (installed under /usr), and prints its path.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${LUMETRA_PACKAGE_DIR:-$here/build-package}"
bash "$here/scripts/setup.sh"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/lumetra_*.deb
