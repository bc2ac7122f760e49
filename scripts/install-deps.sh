#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
#   scripts/install-deps.sh          build and run the game
#   scripts/install-deps.sh --test   also the test, fuzz and benchmark tools
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libsdl2-dev libx11-dev libgl-dev libegl-dev libgl1-mesa-dri
  libtinyxml2-dev libutfcpp-dev libdevil-dev zlib1g-dev libjpeg-dev libpng-dev libvorbis-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(
    clang libclang-rt-14-dev
    xdotool x11-apps imagemagick
    python3-psd-tools libphysfs-dev
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
