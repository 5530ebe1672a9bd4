#!/usr/bin/env bash
# The main window during Send Codes to a socket:// printer that never answers: it takes
# the connection and reads every byte, but never sends anything and never closes, so the
# job waits in its last step until the stall time-out (30 s) runs out. How late a 10 ms
# timer on the window's thread fires meanwhile (maximum and 99th percentile, over
# SECONDS), then how long the window takes to go when it is closed with the job waiting.
#
#   bench/send_codes_window.sh [SECONDS]     (build first; runs on Qt's offscreen platform
#                                             unless QT_QPA_PLATFORM says otherwise)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."

readonly SECONDS_MEASURED=${1:-5}
readonly CODES='<ESC>E Tolvenmark<CR><LF><FF>'
readonly BENCH=build/bin/print_run_window_bench
[ -x "$BENCH" ] || { echo "build first: $BENCH is missing" >&2; exit 1; }
command -v socat >/dev/null || { echo "needs socat: apt-get install socat" >&2; exit 1; }

listener=
cleanup() {
    # The listener leads a process group of its own, with the shell it runs.
    [ -z "$listener" ] || kill -- "-$listener" 2>/dev/null || true
}
trap cleanup EXIT

# The silent printer: what arrives is thrown away, and after the job's end of stream
# socat holds the connection open for as long as the shell behind it lives (-t), without
# a byte back. Its complaint about that shell's end at clean-up is not wanted.
port=$((20000 + RANDOM % 20000))
setsid socat -t 3600 "TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr" \
    SYSTEM:'cat >/dev/null; sleep 3600' 2>/dev/null &
listener=$!
for _ in $(seq 50); do
    ss -Hltn "sport = :$port" 2>/dev/null | grep -q . && break
    sleep 0.1
done
ss -Hltn "sport = :$port" 2>/dev/null | grep -q . ||
    { echo "the listener on port $port did not start" >&2; exit 1; }

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    "$BENCH" --codes "socket://127.0.0.1:$port" "$CODES" "$SECONDS_MEASURED"
echo "budget: timer lateness max and p99 under 100 ms while the job waits on the printer"
