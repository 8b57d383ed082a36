#!/usr/bin/env bash
# Installs what Orvix needs, builds it and opens the application on the bundled sample document.
# Without a display it runs under a virtual X server (Xvfb) so the window still comes up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh" --playback
bash "$root/scripts/build.sh"
BUILD_DIR=${BUILD_DIR:-"$root/build"}
sample="$BUILD_DIR/samples/Contacts.orvix"
[ -d "$sample" ] || sample=""
app="$BUILD_DIR/src/app/orvix"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$app" ${sample:+"$sample"} "$@"
fi
exec "$app" ${sample:+"$sample"} "$@"
