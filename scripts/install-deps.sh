#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and benchmarks with.
# Skips apt entirely when all of them are already present.
set -euo pipefail
packages=(
  build-essential cmake pkg-config git
  nlohmann-json3-dev libsndfile1-dev libsoxr-dev libfftw3-dev
  googletest libgtest-dev libbenchmark-dev libzita-convolver-dev
  clang libclang-rt-14-dev
  libcairo2-dev libx11-dev libxtst-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
