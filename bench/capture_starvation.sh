#!/usr/bin/env bash
# How long a good socket job waits at `tolvenmark-cli capture` while other senders hold
# their connections: IDLE of them open and silent, TRICKLE of them sending one byte every
# 2 s. All of them connect first; then the good job (connect, "good", close) is timed
# until its job file is there, and the capture's peak memory is read from /proc (Linux).
# Everything stays on loopback.
#
#   bench/capture_starvation.sh [IDLE] [TRICKLE] [LIMIT_S]     (build first)
#   CLI=/path/to/tolvenmark-cli bench/capture_starvation.sh ...  (another build)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."

readonly IDLE=${1:-200}
readonly TRICKLE=${2:-8}
readonly LIMIT_S=${3:-120}
readonly CLI=${CLI:-build/bin/tolvenmark-cli}
[ -x "$CLI" ] || { echo "build first: $CLI is missing" >&2; exit 1; }

work=$(mktemp -d /tmp/tvm-bench-XXXX)
capture=
tricklers=()
silent=()
cleanup() {
    for fd in "${silent[@]}"; do exec {fd}>&-; done
    for pid in "${tricklers[@]}"; do kill "$pid" 2>/dev/null || true; done
    [ -z "$capture" ] || kill "$capture" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/jobs"
"$CLI" capture --socket 127.0.0.1:0 --dir "$work/jobs" --quiet 2>"$work/err" &
capture=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/.*socket 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/err")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "capture did not say where it listens" >&2; exit 1; }

# The silent connections stay open on descriptors of this shell until the end.
for _ in $(seq "$IDLE"); do
    exec {fd}<>"/dev/tcp/127.0.0.1/$port"
    silent+=("$fd")
done
for _ in $(seq "$TRICKLE"); do
    (
        exec 3<>"/dev/tcp/127.0.0.1/$port"
        while printf x >&3 2>/dev/null; do sleep 2; done
    ) &
    tricklers+=($!)
done
sleep 1

start=$(date +%s.%N)
printf good >"/dev/tcp/127.0.0.1/$port"
kept=
while [ -z "$kept" ]; do
    kept=$(grep -lx good "$work"/jobs/*.prn 2>/dev/null || true)
    now=$(date +%s.%N)
    if awk -v a="$start" -v b="$now" -v l="$LIMIT_S" 'BEGIN { exit !(b - a > l) }'; then
        echo "$IDLE idle + $TRICKLE trickling senders: the good job was not kept within ${LIMIT_S} s"
        exit 1
    fi
    [ -n "$kept" ] || sleep 0.05
done
peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$capture/status")
awk -v a="$start" -v b="$now" -v i="$IDLE" -v t="$TRICKLE" -v k="$peak" 'BEGIN {
    printf "%d idle + %d trickling senders: the good job kept after %.2f s", i, t, b - a
    printf " (capture peak RSS %.1f MiB)\n", k / 1024 }'
