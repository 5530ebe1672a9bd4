#!/usr/bin/env bash
# `tolvenmark-cli inspect` (the summary, as the viewer's first step will ask it) against a
# plain read of the same file by `cat`, whole process against whole process, in one run:
# wall time, MB/s and peak memory from GNU time, beside the idle program's peak
# (`tolvenmark-cli --version`). Three files of SIZE_MIB each: a sparse one (all zero
# bytes, no language), dense ZPL labels (about 8 bytes a command) and PCL raster rows
# (mostly image data, skipped).
#
#   bench/inspect_throughput.sh [SIZE_MIB]   (1024 by default; build tolvenmark-cli first)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."
SIZE_MIB="${1:-1024}"
CLI=build/bin/tolvenmark-cli
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT

truncate -s "${SIZE_MIB}M" "$dir/sparse.bin"
label='^XA^FO50,50^A0N,30,30^FDHello world 12345^FS^FO50,100^BCN,80,Y,N,N^FD123456789^FS^PQ2^XZ'
# yes ends on SIGPIPE when head has enough: not a failure here.
(set +o pipefail; yes "$label" | head -c "${SIZE_MIB}M" >"$dir/labels.zpl")
row="$(printf '\033*b300W')$(head -c 300 /dev/zero | tr '\0' 'U')"
(
    set +o pipefail
    {
        printf '\033E\033*t300R\033*r1A'
        yes "$row" | tr -d '\n'
    } | head -c "${SIZE_MIB}M" >"$dir/raster.pcl"
)

measure() { # COMMAND... : "seconds peak-KiB"
    # A file cut at SIZE_MIB ends inside a label: inspect says so and exits 1.
    /usr/bin/time -f "%e %M" -o "$dir/time" "$@" >/dev/null || true
    tail -n 1 "$dir/time"
}

idle="$(/usr/bin/time -f %M "$CLI" --version 2>&1 >/dev/null)"
echo "idle tolvenmark-cli peak: $idle KiB"
printf '%-22s %8s %10s %14s\n' "run" "seconds" "MB/s" "peak"
for file in sparse.bin labels.zpl raster.pcl; do
    cat "$dir/$file" >/dev/null # into the page cache, for both alike
    for run in "read:cat" "inspect:$CLI inspect"; do
        # shellcheck disable=SC2086 # the command's words
        read -r seconds peak < <(measure ${run#*:} "$dir/$file")
        rate="$(awk -v s="$seconds" -v m="$SIZE_MIB" 'BEGIN { printf "%.0f", (s > 0 ? m * 1.048576 / s : 0) }')"
        printf '%-22s %8s %10s %10s KiB\n' "${run%%:*} $file" "$seconds" "$rate" "$peak"
    done
done
