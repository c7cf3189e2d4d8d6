#!/usr/bin/env bash
# Builds the site and drives its camera mirror in headless Chromium with a
# fake camera playing videos made from photographs: run_mirror.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
for tool in emcmake chromium node ffmpeg; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: make deps installs it" >&2; exit 1; }
done
# The photographs and the warps, with Debian's own Python and its modules.
/usr/bin/python3 -c "import skimage, scipy, PIL" 2>/dev/null ||
  { echo "python3-skimage or python3-scipy is missing: make deps installs them" >&2; exit 1; }
[ -f /usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg ] ||
  { echo "python-matplotlib-data is missing: make deps installs it" >&2; exit 1; }
"$source_dir/tools/build-web.sh"
node "$here/test_mirror.js" "$source_dir/build-web/site"
