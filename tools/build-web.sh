#!/usr/bin/env bash
# Builds the browser site in build-web/site/ with Debian's Emscripten.
set -euo pipefail
cd "$(dirname "$0")/.."
# Emscripten's JavaScript optimiser needs Debian's JavaScript modules (acorn);
# Debian's own node finds them, a node from elsewhere only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web -j "${JOBS:-2}"
