#!/usr/bin/env bash
# Builds the site, makes a fresh title screenshot of the desktop program, and
# drives the site and its homework in headless Chromium: run.sh DESKTOP_EXECUTABLE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
for tool in emcmake chromium node; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: make deps installs it" >&2; exit 1; }
done
[ -d "$here/node_modules/puppeteer-core" ] || { echo "puppeteer-core is missing: make deps installs it" >&2; exit 1; }
"$source_dir/tools/build-web.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/desktop_title.py" "$1" "$work/title.png"
node "$here/test_site.js" "$source_dir/build-web/site" "$work/title.png"
node "$here/test_homework.js" "$source_dir/build-web/site"
node "$here/test_language.js" "$source_dir/build-web/site"
