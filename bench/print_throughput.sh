#!/usr/bin/env bash
# A raw job of a 256 MiB file through a private scheduler: `tolvenmark-cli print` (the
# same PrintFileRaw through CupsBackend that the Print button's run uses) against `lp -o
# raw` of the same file to the same queue, whole process against whole process, wall time
# and peak memory of each from GNU time -v. Every job is checked to arrive byte for byte.
#
#   bench/print_throughput.sh [--sparse] [SIZE_MIB] [ROUNDS]   (run ./test or build first)
#
# --sparse makes the file with truncate: all zero bytes and no disk blocks, so that a huge
# job (bench/print_throughput.sh --sparse 1024 1: a 1 GiB file) costs the disk only the
# scheduler's copy and the capture, both deleted once the job is checked. The free space
# is checked before anything is made.
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."

SPARSE=0
if [ "${1:-}" = --sparse ]; then
    SPARSE=1
    shift
fi
readonly SPARSE
readonly SIZE_MIB=${1:-256}
readonly ROUNDS=${2:-3}
readonly QUEUE=Tolvenmark_Capture
readonly CLI=build/bin/tolvenmark-cli
[ -x "$CLI" ] || { echo "build first: $CLI is missing" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time: apt-get install time" >&2; exit 1; }

work=$(mktemp -d /tmp/tvm-bench-XXXX)
# Room for the scheduler's copy of one job and its capture, the file itself unless it is
# sparse, and 256 MiB to spare.
need_mib=$((SIZE_MIB * (3 - SPARSE) + 256))
free_mib=$(df -Pm "$work" | awk 'NR == 2 { print $4 }')
if [ "$free_mib" -lt "$need_mib" ]; then
    rmdir "$work"
    echo "needs $need_mib MiB free under /tmp, has $free_mib MiB: try a smaller SIZE_MIB" >&2
    exit 1
fi
cleanup() {
    scripts/test-spooler stop "$work/spool" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

scripts/test-spooler start "$work/spool" "$QUEUE" >/dev/null
export CUPS_SERVER=$work/spool/cups.sock
if ((SPARSE)); then
    truncate -s "$((SIZE_MIB << 20))" "$work/data.prn"
else
    head -c "$((SIZE_MIB << 20))" /dev/urandom >"$work/data.prn"
fi

# Runs one client under GNU time -v; prints "wall_seconds peak_kib" and leaves the
# client's standard output in $work/out.txt.
measure() {
    /usr/bin/time -v -o "$work/time.txt" "$@" >"$work/out.txt"
    awk -F': ' '
        /Elapsed \(wall clock\) time/ {
            n = split($2, part, ":"); wall = 0
            for (i = 1; i <= n; i++) wall = wall * 60 + part[i]
        }
        /Maximum resident set size/ { kib = $2 }
        END { printf "%.2f %d\n", wall, kib }' "$work/time.txt"
}

# Waits for the job whose "request id is QUEUE-N" line is in $work/out.txt and checks
# that the capture holds exactly the file's bytes.
check_capture() {
    local job
    job=$(sed -n 's/^request id is [^ ]*-\([0-9]*\) .*/\1/p' "$work/out.txt")
    [ -n "$job" ] || { echo "no request id in: $(cat "$work/out.txt")" >&2; exit 1; }
    scripts/test-spooler wait "$work/spool" "$job" 300
    cmp -s "$work/data.prn" "$work/spool/out/job-$job.prn" ||
        { echo "job $job did not arrive byte for byte" >&2; exit 1; }
    rm -f "$work/spool/out/job-$job.prn"
}

# The best of a few rounds of each, taken in turns, so that one slow moment of a shared
# machine does not decide the comparison.
: >"$work/ours.txt"
: >"$work/lp.txt"
for _ in $(seq "$ROUNDS"); do
    measure "$CLI" print -P "$QUEUE" "$work/data.prn" >>"$work/ours.txt"
    check_capture
    measure lp -d "$QUEUE" -o raw "$work/data.prn" >>"$work/lp.txt"
    check_capture
done
ours_wall=$(sort -n "$work/ours.txt" | head -n 1 | cut -d' ' -f1)
lp_wall=$(sort -n "$work/lp.txt" | head -n 1 | cut -d' ' -f1)
ours_kib=$(cut -d' ' -f2 "$work/ours.txt" | sort -n | tail -n 1)
lp_kib=$(cut -d' ' -f2 "$work/lp.txt" | sort -n | tail -n 1)

printf '%-24s %10s %16s\n' client "wall (s)" "peak RSS (MiB)"
printf '%-24s %10s %16d\n' "tolvenmark-cli print" "$ours_wall" "$((ours_kib / 1024))"
printf '%-24s %10s %16d\n' "lp -o raw" "$lp_wall" "$((lp_kib / 1024))"
awk -v a="$ours_wall" -v b="$lp_wall" \
    'BEGIN { if (b > 0) printf "wall time ratio tolvenmark-cli / lp: %.2f\n", a / b }'
echo "peak memory above lp's: $(((ours_kib - lp_kib) / 1024)) MiB"
echo "file size: $SIZE_MIB MiB$( ((SPARSE)) && echo ' (sparse: zero bytes)'); best wall time" \
    "and highest peak RSS of $ROUNDS rounds each"
echo "budget: no slower than lp, peak memory within 32 MiB of lp's, whatever the file's size"
