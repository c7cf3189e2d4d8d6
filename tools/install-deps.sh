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
  emscripten node-acorn chromium pngquant
)
# The browser build's tests run on node; a node that came from elsewhere
# (with its own npm) is used as it is.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The node modules that drive Chromium in the browser tests, as the lockfile
# pins them; installed again when the lockfile changes.
web_tests=$(cd "$(dirname "$0")/../tests/web" && pwd)
if [ ! -f "$web_tests/node_modules/.package-lock.json" ] ||
   [ "$web_tests/package-lock.json" -nt "$web_tests/node_modules/.package-lock.json" ]; then
  echo "Installing the browser tests' node modules (npm ci)"
  (cd "$web_tests" && npm ci --no-audit --no-fund)
fi
