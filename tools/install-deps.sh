#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the run need, if any is missing.
set -euo pipefail
packages=(
  build-essential g++ cmake make pkg-config git python3
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang-14 libclang-rt-14-dev
  libglfw3-dev libx11-dev libgl-dev libgl1-mesa-dri libglx-mesa0 mesa-utils
  libstb-dev libopenal-dev libopenal1 libcairo2-dev libfreetype-dev fonts-dejavu-core
  xvfb xauth xdotool x11-utils x11-apps imagemagick
  sox vorbis-tools
  dpkg-dev file lintian desktop-file-utils appstream man-db librsvg2-bin
  shared-mime-info xdg-utils libglib2.0-bin
)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
