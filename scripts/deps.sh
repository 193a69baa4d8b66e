#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when one is
# missing; `apt-get update` runs once, and only then. Sourced by the other scripts.
set -euo pipefail

PRAX_PACKAGES=(
  build-essential cmake flex libfl-dev pkgconf
  libgtest-dev libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-svg-dev libqscintilla2-qt6-dev libgl-dev
  clang libclang-rt-14-dev
  dbus xvfb xauth libxcb1-dev libx11-dev xdotool
  desktop-file-utils appstream man-db
)

missing=()
for pkg in "${PRAX_PACKAGES[@]}"; do
  if ! dpkg -s "$pkg" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$pkg")
  fi
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
