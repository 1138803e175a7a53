#!/usr/bin/env bash
# Makes packaging/windows/vexlor.ico, the Windows program's icon, from packaging/vexlor.svg: the
# sizes Explorer, the taskbar and the title bar ask for, 8 bits a channel. Run it again after
# the drawing changes; the build takes the committed icon and needs no ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
"$convert" -background none -density 384 packaging/vexlor.svg -depth 8 \
    -define icon:auto-resize=256,64,48,32,24,16 packaging/windows/vexlor.ico
