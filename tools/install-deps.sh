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
  # The camera mirror's test videos: real photographs, warped, written by ffmpeg.
  ffmpeg python3-skimage python3-scipy python-matplotlib-data
  # The translations: catalogues made and checked, and the French screens read back.
  gettext po4a tesseract-ocr tesseract-ocr-fra
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

# Node modules as their lockfiles pin them, installed again when a lockfile
# changes: those that drive Chromium in the browser tests, and the face
# reader that the site's camera mirror serves.
source_dir=$(cd "$(dirname "$0")/.." && pwd)
for folder in tests/web web/mirror; do
  modules="$source_dir/$folder"
  if [ ! -f "$modules/node_modules/.package-lock.json" ] ||
     [ "$modules/package-lock.json" -nt "$modules/node_modules/.package-lock.json" ]; then
    echo "Installing the node modules of $folder (npm ci)"
    (cd "$modules" && npm ci --no-audit --no-fund)
  fi
done
