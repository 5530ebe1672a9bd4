#!/usr/bin/env bash
# A raw job of a 256 MiB file to a socket:// printer on loopback: `tolvenmark-cli print -P
# socket://...` (PrintFileRaw through SocketBackend) against `socat -u FILE TCP:...` to
# the same listener, whole process against whole process, wall time and peak memory of
# each from GNU time -v. The listener is socat, and every job is compared byte for byte
# with the file as it streams in.
#
#   bench/direct_socket_throughput.sh [SIZE_MIB] [ROUNDS]     (build first)
set -euo pipefail
cd "$(dirname -- "${BASH_SOURCE[0]}")/.."

readonly SIZE_MIB=${1:-256}
readonly ROUNDS=${2:-3}
readonly CLI=build/bin/tolvenmark-cli
[ -x "$CLI" ] || { echo "build first: $CLI is missing" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time: apt-get install time" >&2; exit 1; }
command -v socat >/dev/null || { echo "needs socat: apt-get install socat" >&2; exit 1; }

work=$(mktemp -d /tmp/tvm-bench-XXXX)
listener=
cleanup() {
    [ -z "$listener" ] || kill "$listener" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

head -c "$((SIZE_MIB << 20))" /dev/urandom >"$work/data.prn"
port=$((20000 + RANDOM % 20000))

# Starts a listener for one connection that compares what arrives with the file.
listen() {
    (socat -u "TCP-LISTEN:$port,bind=127.0.0.1,reuseaddr" STDOUT | cmp -s - "$work/data.prn") &
    listener=$!
    for _ in $(seq 50); do
        ss -Hltn "sport = :$port" 2>/dev/null | grep -q . && return 0
        sleep 0.1
    done
    echo "the listener on port $port did not start" >&2
    exit 1
}

# Checks that the last job arrived byte for byte.
check_arrival() {
    wait "$listener" || { echo "the job did not arrive byte for byte" >&2; exit 1; }
    listener=
}

# Runs one client under GNU time -v; prints "wall_seconds peak_kib".
measure() {
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null
    awk -F': ' '
        /Elapsed \(wall clock\) time/ {
            n = split($2, part, ":"); wall = 0
            for (i = 1; i <= n; i++) wall = wall * 60 + part[i]
        }
        /Maximum resident set size/ { kib = $2 }
        END { printf "%.2f %d\n", wall, kib }' "$work/time.txt"
}

# The best of a few rounds of each, taken in turns, so that one slow moment of a shared
# machine does not decide the comparison.
: >"$work/ours.txt"
: >"$work/socat.txt"
for _ in $(seq "$ROUNDS"); do
    listen
    measure "$CLI" print -P "socket://127.0.0.1:$port" "$work/data.prn" >>"$work/ours.txt"
    check_arrival
    listen
    measure socat -u "OPEN:$work/data.prn,rdonly" "TCP:127.0.0.1:$port" >>"$work/socat.txt"
    check_arrival
done
ours_wall=$(sort -n "$work/ours.txt" | head -n 1 | cut -d' ' -f1)
socat_wall=$(sort -n "$work/socat.txt" | head -n 1 | cut -d' ' -f1)
ours_kib=$(cut -d' ' -f2 "$work/ours.txt" | sort -n | tail -n 1)
socat_kib=$(cut -d' ' -f2 "$work/socat.txt" | sort -n | tail -n 1)

printf '%-24s %10s %16s\n' client "wall (s)" "peak RSS (MiB)"
printf '%-24s %10s %16d\n' "tolvenmark-cli print" "$ours_wall" "$((ours_kib / 1024))"
printf '%-24s %10s %16d\n' "socat -u FILE TCP:" "$socat_wall" "$((socat_kib / 1024))"
awk -v a="$ours_wall" -v b="$socat_wall" \
    'BEGIN { if (b > 0) printf "wall time ratio tolvenmark-cli / socat: %.2f\n", a / b }'
echo "file size: $SIZE_MIB MiB; best wall time and highest peak RSS of $ROUNDS rounds each"
