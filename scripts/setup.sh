#!/usr/bin/env bash
# Installs the Debian packages the game needs (only those missing), then configures and builds
# it into a build directory. Usage: scripts/setup.sh [BUILD_DIR] [extra cmake options...]
# KELMORAV_BUILD_TARGET (one name) or KELMORAV_BUILD_TARGETS (names separated by spaces)
# builds only those targets instead of everything. With -DKELMORAV_FUZZ=ON it also installs
# clang and libFuzzer.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$here/build}"
shift || true

packages=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libsdl2-mixer-dev libfluidsynth-dev libfreetype-dev libfontconfig-dev libpng-dev
  nlohmann-json3-dev libgtest-dev googletest liblcms2-dev
  fonts-aoyagi-kouzan-t fonts-morisawa-bizud-gothic fonts-vlgothic fonts-dejavu-core
  timgm6mb-soundfont
)
if [[ " $* " == *" -DKELMORAV_FUZZ=ON "* ]]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

cmake -S "$here" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${KELMORAV_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
targets=()
for t in ${KELMORAV_BUILD_TARGET:-} ${KELMORAV_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
