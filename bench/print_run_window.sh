#!/usr/bin/env bash
# The main window during a print run of a 256 MiB file through a private scheduler: how
# late a 10 ms timer on the window's thread fires while the run goes (maximum and 99th
# percentile), and the program's peak memory against `lp -o raw` of the same file to the
# same queue (GNU time -v). Both jobs are checked to arrive byte for byte.
#
#   bench/print_run_window.sh [SIZE_MIB]     (build first; runs on Qt's offscreen platform
#                                             unless QT_QPA_PLATFORM says otherwise)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."

readonly SIZE_MIB=${1:-256}
readonly QUEUE=Tolvenmark_Capture
readonly BENCH=build/bin/print_run_window_bench
[ -x "$BENCH" ] || { echo "build first: $BENCH is missing" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time: apt-get install time" >&2; exit 1; }

work=$(mktemp -d /tmp/tvm-window-XXXX)
cleanup() {
    scripts/test-spooler stop "$work/spool" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

scripts/test-spooler start "$work/spool" "$QUEUE" >/dev/null
export CUPS_SERVER=$work/spool/cups.sock
head -c "$((SIZE_MIB << 20))" /dev/urandom >"$work/data.prn"

# Waits for the newest job the scheduler knows and checks its capture against the file.
check_capture() {
    local job
    job=$(lpstat -W all -o "$QUEUE" | sed -n "s/^$QUEUE-\([0-9]*\) .*/\1/p" | sort -n | tail -n 1)
    [ -n "$job" ] || { echo "no job was captured" >&2; exit 1; }
    scripts/test-spooler wait "$work/spool" "$job" 300
    cmp -s "$work/data.prn" "$work/spool/out/job-$job.prn" ||
        { echo "job $job did not arrive byte for byte" >&2; exit 1; }
    rm -f "$work/spool/out/job-$job".*
}

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$BENCH" "$QUEUE" "$work/data.prn" | tee "$work/window.txt"
check_capture
/usr/bin/time -v -o "$work/time.txt" lp -d "$QUEUE" -o raw "$work/data.prn" >/dev/null
check_capture

window_kib=$(sed -n 's/^peak_rss_kib //p' "$work/window.txt")
growth_kib=$(sed -n 's/^growth_over_run_kib //p' "$work/window.txt")
lp_kib=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt")
echo "lp_peak_rss_kib $lp_kib"
echo "window peak - lp peak: $(((window_kib - lp_kib) / 1024)) MiB;" \
    "window growth over the run - lp peak: $(((growth_kib - lp_kib) / 1024)) MiB"
echo "budget: timer lateness max and p99 under 100 ms; memory within 32 MiB of lp's"
