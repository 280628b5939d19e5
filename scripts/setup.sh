#!/usr/bin/env bash
# Installs every Debian package the build, the viewer and the tests need.
# Idempotent: packages already present are left alone and apt is not called.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config libgtest-dev valgrind libbenchmark-dev
  # allocator of the executables
  libmimalloc-dev
  # GUI, GL and text
  libwxgtk3.2-dev libglu1-mesa-dev libftgl-dev libfreetype-dev fonts-liberation
  # picture files of the image export
  libpng-dev libjpeg-dev
  # XML, kd-tree, geometry
  libpugixml-dev libnanoflann-dev libcgal-dev
  # automatic layout (Graphviz's library, called in-process)
  libgraphviz-dev
  # importing C++ projects (libclang's C API)
  libclang-dev
  # headless GL for tests
  xvfb xauth libgl1-mesa-dri
  # vector export (SVG, PDF) and the renderers its tests check it with
  libgl2ps-dev zlib1g-dev librsvg2-bin poppler-utils
  # installing: man page from --help, desktop entry check, .deb building
  help2man desktop-file-utils dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
