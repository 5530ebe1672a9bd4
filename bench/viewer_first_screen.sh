#!/usr/bin/env bash
# The viewer's first screen on a generated file of SIZE_MIB, beside a plain read of the same
# file's first 64 KiB and of the whole file, in one run (viewer_first_screen_bench): dense ZPL
# labels (about 8 bytes a command) and a sparse file (all zero bytes, no language). The file
# is read once before the figures, so every reader finds it in the page cache.
#
#   bench/viewer_first_screen.sh [SIZE_MIB [SHOT_DIR]]   (1024 MiB by default; with SHOT_DIR
#   the window's first screen of each file is saved there as NAME.png; build
#   viewer_first_screen_bench first; Qt's offscreen platform unless QT_QPA_PLATFORM says)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."
SIZE_MIB="${1:-1024}"
SHOTS="${2:-}"
BENCH=build/bin/viewer_first_screen_bench
[ -x "$BENCH" ] || { echo "build first: $BENCH is missing" >&2; exit 1; }
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT

(
    # yes ends on SIGPIPE when head has enough: not a failure here.
    set +o pipefail
    yes '^XA^FO50,50^A0N,30,30^FDHello world 12345^FS^FO50,100^BCN,80,Y,N,N^FD123456789^FS^PQ2^XZ' |
        head -c "${SIZE_MIB}M" >"$dir/labels.zpl"
)
truncate -s "${SIZE_MIB}M" "$dir/sparse.bin"

for name in labels.zpl sparse.bin; do
    cat "$dir/$name" >/dev/null
    echo "== $name (${SIZE_MIB} MiB)"
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BENCH" "$dir/$name" \
        ${SHOTS:+"$SHOTS/${name%.*}.png"} 2>/dev/null
done
