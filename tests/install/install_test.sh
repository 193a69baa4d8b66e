#!/usr/bin/env bash
# Installs the build tree into a fresh temporary prefix and checks the result:
# the exact list of files, the desktop entry and AppStream metainfo through
# their validators, the D-Bus service naming the installed program, no path of
# the build machine in any installed text, the man pages, and --version of
# the installed programs, run with no window system at all.
#   install_test.sh BUILD_DIR VERSION APP_ID app|cli
set -uo pipefail
build=$1 version=$2 app_id=$3 kind=$4
prefix=$(mktemp -d "${TMPDIR:-/tmp}/prax-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

expected=(
  bin/prax-format
  share/doc/prax/LICENSE
  share/doc/prax/README.md
  share/man/man1/prax-format.1
)
if [ "$kind" = app ]; then
  expected+=(
    bin/prax
    share/applications/$app_id.desktop
    share/dbus-1/services/Prax.Document.service
    share/doc/prax/prax.html
    share/icons/hicolor/256x256/apps/prax.png
    share/icons/hicolor/48x48/apps/prax.png
    share/icons/hicolor/scalable/apps/prax.svg
    share/man/man1/prax.1
    share/metainfo/$app_id.metainfo.xml
  )
fi
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
[ "$actual" = "$wanted" ] || fail "installed files differ (< expected, > installed):
$(diff <(echo "$wanted") <(echo "$actual"))"

# The programs answer --version from the installed place, without a display.
check_version() { # PROGRAM
  local out
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/$1" --version 2>&1) \
    || fail "$1 --version exits $?: $out"
  [ "$(printf '%s\n' "$out" | head -1)" = "$1 $version" ] || fail "$1 --version says: $out"
  grep -q '^License GPLv3+: GNU GPL version 3 or later' <<<"$out" || fail "$1 --version names no licence: $out"
}
check_version prax-format

pages=(prax-format)
if [ "$kind" = app ]; then
  check_version prax
  pages+=(prax)
  desktop-file-validate "$prefix/share/applications/$app_id.desktop" || fail "desktop-file-validate"
  grep -qx 'Exec=prax %F' "$prefix/share/applications/$app_id.desktop" || fail "desktop entry Exec"
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$app_id.metainfo.xml" >/tmp/prax-as.$$ 2>&1 \
    || { cat /tmp/prax-as.$$; fail "appstreamcli validate"; }
  rm -f /tmp/prax-as.$$
  grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "metainfo release"
  grep -qx "Exec=$prefix/bin/prax -Embedding" "$prefix/share/dbus-1/services/Prax.Document.service" \
    || fail "D-Bus service: $(cat "$prefix/share/dbus-1/services/Prax.Document.service")"
fi
for page in "${pages[@]}"; do
  file=$prefix/share/man/man1/$page.1
  grep -q "\"Prax $version\"" "$file" || fail "$page.1 carries no version $version"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done

# Nothing installed refers to the build machine's folders.
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
for dir in "$source_dir" "$(cd "$build" && pwd)"; do
  if grep -rIl --fixed-strings "$dir" "$prefix" >/dev/null; then
    fail "installed text names $dir: $(grep -rIl --fixed-strings "$dir" "$prefix")"
  fi
done

[ "$failures" -eq 0 ] && echo "install layout: ${#expected[@]} files, all checks passed"
exit $((failures > 0))
