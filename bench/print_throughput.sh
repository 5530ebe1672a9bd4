#!/usr/bin/env bash
# A 256 MiB raw job through the private scheduler: Tolvenmark's PrintFileRaw (build/bin/
# print_file) against `lp -o raw` of the same file to the same queue, wall time and peak
# memory of each client side by side. Both jobs are checked to arrive byte for byte.
#
#   bench/print_throughput.sh [SIZE_MIB]       (run ./test or build first)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."

readonly SIZE_MIB=${1:-256}
readonly QUEUE=Tolvenmark_Capture
readonly PRINT_FILE=build/bin/print_file
[ -x "$PRINT_FILE" ] || { echo "build first: $PRINT_FILE is missing" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time: apt-get install time" >&2; exit 1; }

work=$(mktemp -d /tmp/tvm-bench-XXXX)
cleanup() {
    scripts/test-spooler stop "$work/spool" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

scripts/test-spooler start "$work/spool" "$QUEUE" >/dev/null
export CUPS_SERVER=$work/spool/cups.sock
head -c "$((SIZE_MIB << 20))" /dev/urandom >"$work/data.prn"

# Runs a client under GNU time; prints "wall_seconds peak_kib" and leaves its output in
# $work/out.txt.
measure() {
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >"$work/out.txt"
    cat "$work/time.txt"
}

check_capture() {
    local job=$1
    scripts/test-spooler wait "$work/spool" "$job" 120
    cmp -s "$work/data.prn" "$work/spool/out/job-$job.prn" ||
        { echo "job $job did not arrive byte for byte" >&2; exit 1; }
    rm -f "$work/spool/out/job-$job.prn"
}

read -r ours_wall ours_kib < <(measure "$PRINT_FILE" "$QUEUE" "$work/data.prn")
check_capture "$(cat "$work/out.txt")"
read -r lp_wall lp_kib < <(measure lp -d "$QUEUE" -o raw "$work/data.prn")
check_capture "$(sed -n 's/.*request id is [^ ]*-\([0-9]*\) .*/\1/p' "$work/out.txt")"

printf '%-22s %10s %14s\n' client "wall (s)" "peak RSS (MiB)"
printf '%-22s %10s %14d\n' "PrintFileRaw" "$ours_wall" "$((ours_kib / 1024))"
printf '%-22s %10s %14d\n' "lp -o raw" "$lp_wall" "$((lp_kib / 1024))"
awk -v a="$ours_wall" -v b="$lp_wall" 'BEGIN { if (b > 0) printf "wall time ratio PrintFileRaw / lp: %.2f\n", a / b }'
echo "file size: $SIZE_MIB MiB; budget: no slower than lp, peak memory at most file + 64 MiB"
