#!/usr/bin/env bash
# Screenshots of the prax editor for a look at the layout: the main window
# with a document, the About box, the Batch job dialog, the Options dialog and
# the main window with its documents as tabs,
# at 1x and 2x scale (QT_SCALE_FACTOR) in a light and a dark palette, each on
# a fresh virtual X server (Xvfb) with a fresh profile.
#   scripts/screenshots.sh [build-dir] [out-dir]     (default: build, build/screenshots)
# The dark palette is the one a KDE desktop hands to Qt programs: a
# kdeglobals file with dark colours and XDG_CURRENT_DESKTOP=KDE, which Qt's
# own desktop support reads; no other theme plugin is needed.
# The PNGs are for looking at, not for the repository.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
out=${2:-$build/screenshots}
here=$(cd "$(dirname "$0")" && pwd)
sample="$here/../tests/data/samples/sql/orders_report.sql"
delay=${PRAX_SCREENSHOT_DELAY:-2}
mkdir -p "$out"
for tool in Xvfb xdotool python3; do
  command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done

write_dark_palette() { # $1: the XDG_CONFIG_HOME of the run
  mkdir -p "$1"
  cat >"$1/kdeglobals" <<'KDE'
[General]
ColorScheme=BreezeDark
[Colors:Window]
BackgroundNormal=49,54,59
BackgroundAlternate=44,49,54
ForegroundNormal=239,240,241
ForegroundInactive=161,169,177
[Colors:View]
BackgroundNormal=35,38,41
BackgroundAlternate=44,49,54
ForegroundNormal=239,240,241
ForegroundInactive=161,169,177
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
ForegroundInactive=161,169,177
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=252,252,252
[Colors:Tooltip]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[WM]
activeBackground=49,54,59
activeForeground=239,240,241
KDE
}

# Saves the screen, cut to the window `$2` (an xdotool window id), as $1.
shoot() {
  local name=$1 window=$2 x y w h
  sleep "$delay"
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  x=$X y=$Y w=$WIDTH h=$HEIGHT
  python3 "$here/xwd2png.py" "$work/Xvfb_screen0" "$out/$name.png" "$x" "$y" "$w" "$h"
  echo "wrote $out/$name.png (${w}x${h})"
}

# Waits for a window whose title matches $1 and prints its id.
window_named() {
  local id
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    [[ -n $id ]] && { echo "$id"; return 0; }
    sleep 0.2
  done
  echo "screenshots: no window named '$1'" >&2
  return 1
}

keys() { # sends keys to window $1, focused first so that they are not typed as text
  local window=$1; shift
  xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers --delay 80 "$@"
}

run_one() { # $1: scale, $2: light or dark
  local scale=$1 palette=$2 tag="$2-${1}x" main dialog
  work=$(mktemp -d)
  local display=:$((200 + RANDOM % 500))
  Xvfb "$display" -screen 0 $((1024 * scale))x$((720 * scale))x24 -fbdir "$work" -nolisten tcp &
  xvfb=$!
  sleep 1
  export DISPLAY=$display
  # A start by the user registers the embedding service under XDG_DATA_HOME:
  # that goes to the run's own directory, not the home of whoever runs this.
  local env=(XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale")
  if [[ $palette == dark ]]; then
    write_dark_palette "$work/config"
    env+=(XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5)
  fi
  env "${env[@]}" "$build/bin/prax" "$sample" &
  app=$!
  main=$(window_named '^Prax')
  xdotool windowsize --sync "$main" $((900 * scale)) $((600 * scale)) || true
  shoot "main-$tag" "$main"

  # Help > About: the Help menu has a mnemonic, its About item too.
  keys "$main" alt+h a
  dialog=$(window_named 'About Prax')
  shoot "about-$tag" "$dialog"
  keys "$dialog" Escape

  # Beautify > Batch job: from the Help menu four menus to the left, last item.
  keys "$main" alt+h Left Left Left Left Up Return
  dialog=$(window_named 'Batch job')
  shoot "batch-$tag" "$dialog"
  keys "$dialog" Escape

  # Options > Beautify Options: one menu further right, first item.
  keys "$main" alt+h Left Left Left Return
  dialog=$(window_named 'Beautifier Settings')
  shoot "options-$tag" "$dialog"
  keys "$dialog" Escape

  # Window > Tabbed, the fifth item of the Window menu; the choice goes to
  # this run's own fresh profile only.
  keys "$main" alt+w Down Down Down Down Return
  shoot "tabbed-$tag" "$main"

  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$work"
  app= xvfb=
}

trap 'kill ${app:-} ${xvfb:-} 2>/dev/null || true; rm -rf "${work:-/nonexistent}"' EXIT
for scale in 1 2; do
  for palette in light dark; do
    run_one "$scale" "$palette"
  done
done
