#!/usr/bin/env bash
# Takes a screenshot of the prax editor on a virtual X server (Xvfb), with a
# fresh profile so the picture does not depend on the developer's settings.
#   tests/shell/screenshot.sh [build-dir] [out.png]
# Xvfb keeps its screen as an XWD file in a directory (-fbdir);
# scripts/xwd2png.py turns that file into a PNG.
set -euo pipefail
build=${1:-build}
out=${2:-prax-screenshot.png}
work=$(mktemp -d)
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -fbdir "$work" -nolisten tcp &
xvfb=$!
sleep 1
DISPLAY=$display XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb "$build/bin/prax" &
app=$!
sleep "${PRAX_SCREENSHOT_DELAY:-3}"

python3 "$(dirname "$0")/../../scripts/xwd2png.py" "$work/Xvfb_screen0" "$out"
echo "wrote $out"
