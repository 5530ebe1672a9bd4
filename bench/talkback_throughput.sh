#!/usr/bin/env bash
# Whether asking a printer about itself slows its job: a 256 MiB job to a socket:// printer
# on loopback, `tolvenmark-cli print` plain against the same with `--check --wait` (the
# printer asked before the first byte and after the last), to one `tolvenmark-cli capture
# --emulate` that answers like a printer of the language. Throughput with status on as a
# share of it off, best of a few rounds taken in turns; every job's file is compared with
# the original. The printer speaks ESC/POS, whose status read is four DLE EOT queries (12
# bytes) before the job and four after it.
#
#   bench/talkback_throughput.sh [SIZE_MIB] [ROUNDS]     (build first)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."

readonly SIZE_MIB=${1:-256}
readonly ROUNDS=${2:-3}
readonly LANGUAGE=escpos
readonly QUERIES=12
readonly CLI=build/bin/tolvenmark-cli
[ -x "$CLI" ] || { echo "build first: $CLI is missing" >&2; exit 1; }

work=$(mktemp -d /tmp/tvm-bench-XXXX)
capture=
cleanup() {
    [ -z "$capture" ] || kill "$capture" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

head -c "$((SIZE_MIB << 20))" /dev/urandom >"$work/data.prn"
mkdir "$work/jobs"
"$CLI" capture --socket 127.0.0.1:0 --dir "$work/jobs" --quiet --max-size 2G \
    --emulate "$LANGUAGE" 2>"$work/err" &
capture=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/.*socket 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/err")
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || { echo "capture did not say where it listens" >&2; exit 1; }
readonly PRINTER="socket://127.0.0.1:$port?language=$LANGUAGE"

# Runs one job; prints its wall seconds. The job's kept file must hold the original whole,
# after the queries that were asked before it (SKIP bytes) and before those asked after it.
job() {
    local skip=$1
    shift
    rm -f "$work"/jobs/*
    local start end
    start=$(date +%s.%N)
    "$CLI" print -q -P "$PRINTER" "$@" "$work/data.prn" >/dev/null
    end=$(date +%s.%N)
    for _ in $(seq 100); do
        ls "$work"/jobs/*.prn >/dev/null 2>&1 && break
        sleep 0.05
    done
    local kept
    kept=$(ls "$work"/jobs/*.prn)
    if ! cmp -s -n "$((SIZE_MIB << 20))" -i "$skip:0" "$kept" "$work/data.prn" ||
        [ "$(stat -c %s "$kept")" -ne "$(((SIZE_MIB << 20) + 2 * skip))" ]; then
        echo "the job did not arrive whole" >&2
        exit 1
    fi
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

: >"$work/off.txt"
: >"$work/on.txt"
for _ in $(seq "$ROUNDS"); do
    job 0 >>"$work/off.txt"
    job "$QUERIES" --check --wait >>"$work/on.txt"
done
off=$(sort -n "$work/off.txt" | head -n 1)
on=$(sort -n "$work/on.txt" | head -n 1)
printf '%-34s %10s\n' "job ($SIZE_MIB MiB, $LANGUAGE)" "wall (s)"
printf '%-34s %10s\n' "status off" "$off"
printf '%-34s %10s\n' "status on (--check --wait)" "$on"
awk -v a="$off" -v b="$on" \
    'BEGIN { printf "throughput with status on / off: %.1f%%\n", 100 * a / b }'
