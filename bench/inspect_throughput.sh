#!/usr/bin/env bash
# `tolvenmark-cli inspect` (the summary, as the viewer's first step will ask it) against a
# plain read of the same file by `cat`, whole process against whole process, in one run:
# wall time, MB/s and peak memory from GNU time, beside the idle program's peak
# (`tolvenmark-cli --version`). Files of SIZE_MIB each: a sparse one (all zero bytes, no
# language), PCL raster rows (mostly image data, skipped) and dense command streams of each
# decoded language, a command every 7 to 17 bytes: ZPL labels, ESC/POS receipts, EPL
# labels, PJL lines and PCL 5 pages of text lines placed by escapes.
#
#   bench/inspect_throughput.sh [SIZE_MIB [FILE...]]   (1024 MiB and every file by default;
#   FILE is one of the names below; build tolvenmark-cli first)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."
SIZE_MIB="${1:-1024}"
shift || true
FILES=("$@")
if ((${#FILES[@]} == 0)); then
    FILES=(sparse.bin raster.pcl labels.zpl receipts.escpos labels.epl lines.pjl escapes.pcl)
fi
# Another build to compare with: TOLVENMARK_CLI=/path/to/tolvenmark-cli.
CLI="${TOLVENMARK_CLI:-build/bin/tolvenmark-cli}"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT

esc=$'\033'
# PREFIX UNIT FILE: PREFIX, then UNIT and a line feed repeated, SIZE_MIB in all.
repeated() {
    # yes ends on SIGPIPE when head has enough: not a failure here.
    (
        set +o pipefail
        {
            printf '%s' "$1"
            yes "$2"
        } | head -c "${SIZE_MIB}M" >"$3"
    )
}

make_file() { # NAME
    case "$1" in
    sparse.bin) truncate -s "${SIZE_MIB}M" "$dir/$1" ;;
    raster.pcl)
        (
            set +o pipefail
            {
                printf '\033E\033*t300R\033*r1A'
                yes "${esc}*b300W$(head -c 300 /dev/zero | tr '\0' 'U')" | tr -d '\n'
            } | head -c "${SIZE_MIB}M" >"$dir/$1"
        )
        ;;
    labels.zpl)
        repeated "" '^XA^FO50,50^A0N,30,30^FDHello world 12345^FS^FO50,100^BCN,80,Y,N,N^FD123456789^FS^PQ2^XZ' "$dir/$1"
        ;;
    receipts.escpos) # 32-column receipt lines between short commands, about 7 bytes a command
        repeated "${esc}@" "${esc}a1${esc}E1CAFE TOLVENMARK"$'\n'"${esc}E0${esc}a0Espresso                    2.50"$'\n'"Croissant                   3.10"$'\n'"${esc}!"$'\010'"TOTAL 5.60"$'\n'"${esc}!"$'\001'"${esc}d"$'\003'$'\035'"VB"$'\003' "$dir/$1"
        ;;
    labels.epl)
        repeated "" $'N\nq400\nQ200,24\nA50,50,0,3,1,1,N,"Hello"\nB50,100,0,1,2,2,80,B,"1234"\nLO10,10,300,2\nP1' "$dir/$1"
        ;;
    lines.pjl)
        repeated "${esc}%-12345X" $'@PJL SET COPIES=1\r\n@PJL COMMENT hi\r\n@PJL\r' "$dir/$1"
        ;;
    escapes.pcl) # a page of text lines, each placed by a cursor escape: about 13 bytes a command
        line="${esc}*p100x200YA line of text on a page, forty characters"$'\r\n'
        repeated "${esc}E" "${esc}&l0O${esc}(s0p12h10v0s0b3T$line$line$line$line"$'\f' "$dir/$1"
        ;;
    esac
}

measure() { # COMMAND... : "seconds peak-KiB"
    # A file cut at SIZE_MIB ends inside a command: inspect says so and exits 1.
    /usr/bin/time -f "%e %M" -o "$dir/time" "$@" >/dev/null || true
    tail -n 1 "$dir/time"
}

idle="$(/usr/bin/time -f %M "$CLI" --version 2>&1 >/dev/null)"
echo "idle tolvenmark-cli peak: $idle KiB"
printf '%-24s %8s %10s %14s\n' "run" "seconds" "MB/s" "peak"
for file in "${FILES[@]}"; do
    make_file "$file"
    cat "$dir/$file" >/dev/null # into the page cache, for both alike
    for run in "read:cat" "inspect:$CLI inspect"; do
        # shellcheck disable=SC2086 # the command's words
        read -r seconds peak < <(measure ${run#*:} "$dir/$file")
        rate="$(awk -v s="$seconds" -v m="$SIZE_MIB" 'BEGIN { printf "%.0f", (s > 0 ? m * 1.048576 / s : 0) }')"
        printf '%-24s %8s %10s %10s KiB\n' "${run%%:*} $file" "$seconds" "$rate" "$peak"
    done
    rm -f "$dir/$file"
done
