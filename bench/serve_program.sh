#!/usr/bin/env bash
# The program users run against the minimal thread-per-connection server, on loopback:
#   headless  build/app/quorvane with no display (it picks the off-screen platform itself), its
#             log on standard output (to a file here, as journald would take it)
#   window    the same program with QT_QPA_PLATFORM=offscreen chosen for it
#   minimal   quorvane_minimal_server serving the board's page bytes as a fixed file
# Both boards run the demo office (quorvane-democal, examples/demo/people.txt) and are measured
# once their first grab is done. wrk drives each in turn, 32 connections, one request per
# connection, in alternating rounds so that other load on the machine falls on all alike. Prints
# each server's median requests/s and p99, and each board's ratios to the minimal server.
#   bench/serve_program.sh [--seconds S] [--rounds N] [--connections C] [--build DIR] [--bench-build DIR]
#                          [--program FILE] [--slow-log]
# DIR: the build holding app/quorvane and tools/quorvane-democal (default build/); the minimal
# server is built in --bench-build (default build-bench-serve/); --program measures another build
# of the program (an older commit's, for a before-and-after). --slow-log: the boards' standard output
# goes through a pipe read at 400 KB/s, as a busy journald or terminal reads it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=8 rounds=3 connections=32 build=build bench_build=build-bench-serve program_file= slow_log=
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --rounds) rounds="$2"; shift 2 ;;
    --connections) connections="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --bench-build) bench_build="$2"; shift 2 ;;
    --program) program_file="$2"; shift 2 ;;
    --slow-log) slow_log=1; shift ;;
    *) echo "serve_program: unknown option '$1'" >&2; exit 2 ;;
  esac
done
for tool in wrk curl python3; do
  command -v "$tool" >/dev/null || { echo "serve_program: $tool missing (scripts/setup --bench)" >&2; exit 2; }
done
program=${program_file:-$build/app/quorvane} democal="$build/tools/quorvane-democal"
[ -x "$democal" ] || democal=$(find "$build/tools" -name quorvane-democal -type f -perm -u+x | head -1)
[ -x "$program" ] && [ -x "$democal" ] || { echo "serve_program: build quorvane and quorvane-democal in $build" >&2; exit 2; }
program=$(realpath "$program")
if [ ! -x "$bench_build/bench/quorvane_minimal_server" ]; then
  cmake -S . -B "$bench_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_BENCH=ON -DQUORVANE_GUI=OFF \
    -DQUORVANE_TESTS=OFF >/dev/null
  cmake --build "$bench_build" -j2 --target quorvane_minimal_server >/dev/null
fi
ulimit -n 16384 2>/dev/null || true

work=$(mktemp -d /tmp/quorvane-program.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

read -r headless_port window_port minimal_port < <(python3 -c '
import socket
held = []
for _ in range(3):
    s = socket.socket(); s.bind(("127.0.0.1", 0)); held.append(s)
print(*[s.getsockname()[1] for s in held])')

"$democal" --port 0 --cert-out "$work/ca.pem" >"$work/democal.out" 2>"$work/democal.err" &
pids+=($!)
for _ in $(seq 100); do grep -q . "$work/democal.out" 2>/dev/null && break; sleep 0.1; done
calendar="127.0.0.1:$(head -1 "$work/democal.out" | tr -dc 0-9)"
printf 'demo\nsecret\n' >"$work/credentials"
chmod 600 "$work/credentials"
cp examples/demo/people.txt "$work/people.txt"

# start_board NAME PORT PLATFORM: the program in $work/NAME, its log in NAME.out.
start_board() {
  mkdir -p "$work/$1"
  local out="$work/$1.out"
  if [ -n "$slow_log" ]; then
    # 4 KiB every 10 ms, copied on to the log file.
    out="$work/$1.pipe"
    mkfifo "$out"
    python3 -c 'import sys, time
src, dst = open(sys.argv[1], "rb", buffering=0), open(sys.argv[2], "wb", buffering=0)
while True:
    b = src.read(4096)
    if not b: break
    dst.write(b); time.sleep(0.01)' "$out" "$work/$1.out" &
    pids+=($!)
  fi
  (cd "$work/$1" && exec env -u DISPLAY -u WAYLAND_DISPLAY ${3:+QT_QPA_PLATFORM=$3} "$program" \
     --calendar-host "$calendar" --calendar-ca "$work/ca.pem" --credentials-file "$work/credentials" \
     --roster "$work/people.txt" --port "$2" >"$out" 2>"$work/$1.err") &
  pids+=($!)
}
start_board headless "$headless_port" ""
start_board window "$window_port" offscreen
for name in headless window; do
  for _ in $(seq 1800); do grep -q 'Done' "$work/$name.out" 2>/dev/null && break; sleep 0.1; done
  grep -q 'Done' "$work/$name.out" || { echo "serve_program: $name did not finish its grab" >&2; tail "$work/$name.err" >&2; exit 1; }
done
curl -s -o "$work/page.html" "http://127.0.0.1:$headless_port/"
"$bench_build/bench/quorvane_minimal_server" "$minimal_port" "$work/page.html" >"$work/minimal.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$minimal_port/" && break; sleep 0.1; done
echo "${slow_log:+log read at 400 KB/s; }page: $(wc -c <"$work/page.html") bytes, $(grep -c '<tr>' "$work/page.html") rows; $connections connections," \
  "one request each, $rounds rounds of ${seconds}s; load average $(cut -d' ' -f1-3 /proc/loadavg)"

declare -A port=([headless]=$headless_port [window]=$window_port [minimal]=$minimal_port)
. bench/wrk_rounds.sh
wrk_rounds 2 headless window minimal
for s in headless window; do
  awk -v a="${rps[$s]}" -v b="${rps[minimal]}" -v pa="${p99[$s]}" -v pb="${p99[minimal]}" -v n="$s/minimal" \
    'BEGIN { printf "RATIO %-16s %.2fx req/s   p99 %.2fx (%.2f vs %.2f ms)\n", n, a / b, pa / pb, pa, pb }'
done
