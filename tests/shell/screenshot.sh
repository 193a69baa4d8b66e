#!/usr/bin/env bash
# Takes a screenshot of the prax editor on a virtual X server (Xvfb), with a
# fresh profile so the picture does not depend on the developer's settings.
#   tests/shell/screenshot.sh [build-dir] [out.png]
# Xvfb keeps its screen as an XWD file in a directory (-fbdir); the few lines
# of Python below turn that file into a PNG with nothing but the standard library.
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

python3 - "$work/Xvfb_screen0" "$out" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
f = struct.unpack('>25I', data[:100])
header_size, width, height = f[0], f[4], f[5]
byte_order, bpp, bytes_per_line, ncolors = f[7], f[11], f[12], f[19]
if bpp != 32:
    sys.exit('expected a 32-bit screen, got %d bits per pixel' % bpp)
pixels = data[header_size + 12 * ncolors:]
rows = []
for y in range(height):
    line = pixels[y * bytes_per_line: y * bytes_per_line + 4 * width]
    raw = bytearray(3 * width)
    if byte_order == 0:  # B G R x
        raw[0::3], raw[1::3], raw[2::3] = line[2::4], line[1::4], line[0::4]
    else:                # x R G B
        raw[0::3], raw[1::3], raw[2::3] = line[1::4], line[2::4], line[3::4]
    rows.append(b'\0' + bytes(raw))
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
png += chunk(b'IDAT', zlib.compress(b''.join(rows), 6)) + chunk(b'IEND', b'')
open(sys.argv[2], 'wb').write(png)
PY
echo "wrote $out"
