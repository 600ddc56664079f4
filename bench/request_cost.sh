#!/usr/bin/env bash
# The board's work per request, in figures that other load on the machine does not change:
#   instructions   user-space instructions per request of the whole server process (callgrind)
#   switches       context switches per request of the server process (perf stat, not under valgrind)
#   cpu_us         CPU time (user + system) per request, from /proc (this one does move with load)
# quorvane_load_server is driven by wrk (C connections, one request per connection) after a
# warm-up that fills the activity log to its 10,000 lines; the counts cover the measured run only.
#   bench/request_cost.sh [--build DIR] [--seconds S] [--connections C]
# Prints one line: "COST instructions=<n> switches=<n> cpu_us=<n> requests=<n>", and when
# quorvane_minimal_server is built, "ANCHOR minimal switches=<n> cpu_us=<n>" for the same page.
# BOARD_ARGS in the environment go to the board server.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench seconds=5 connections=4
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    --connections) connections="$2"; shift 2 ;;
    *) echo "request_cost: unknown option '$1'" >&2; exit 2 ;;
  esac
done
for tool in valgrind callgrind_control perf wrk curl python3; do
  command -v "$tool" >/dev/null || { echo "request_cost: $tool missing" >&2; exit 2; }
done
server="$build/bench/quorvane_load_server"
[ -x "$server" ] || { echo "request_cost: build $server first (-DQUORVANE_BENCH=ON)" >&2; exit 2; }

work=$(mktemp -d /tmp/quorvane-cost.XXXXXX)
pid=""
cleanup() {
  [ -z "$pid" ] || { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }
  rm -rf "$work"
}
trap cleanup EXIT
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# lines: the access lines the server has logged so far (its stats line on SIGUSR1).
lines() {
  local before; before=$(grep -c '^stats' "$work/out" || true)
  kill -USR1 "$pid"
  for _ in $(seq 200); do [ "$(grep -c '^stats' "$work/out" || true)" -gt "$before" ] && break; sleep 0.05; done
  grep '^stats' "$work/out" | tail -1 | sed 's/.*access_lines=\([0-9]*\).*/\1/'
}
start() {
  "$@" --port "$port" ${BOARD_ARGS:-} >"$work/out" 2>"$work/err" &
  pid=$!
  for _ in $(seq 300); do grep -q '^ready' "$work/out" 2>/dev/null && return 0; sleep 0.1; done
  echo "request_cost: server did not start: $(cat "$work/err")" >&2; exit 1
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""; }
drive() { wrk -t1 -c"$connections" -d"${1}s" -H "Connection: close" "http://127.0.0.1:$port/" >/dev/null; }

ticks=$(getconf CLK_TCK)
# measure_running: switches and CPU time per request of the server $pid over one wrk run of
# $seconds; sets switch_per, cpu_per and requests.
measure_running() {
  read -r u0 s0 < <(awk '{ print $14, $15 }' "/proc/$pid/stat")
  perf stat -x, -e context-switches -p "$pid" -o "$work/perf" -- sleep "$seconds" >/dev/null 2>&1 &
  local perf_pid=$!
  requests=$(wrk -t1 -c"$connections" -d"${seconds}s" -H "Connection: close" "http://127.0.0.1:$port/" \
             | awk '/requests in/ { print $1 }')
  wait "$perf_pid" || true
  read -r u1 s1 < <(awk '{ print $14, $15 }' "/proc/$pid/stat")
  local switches; switches=$(awk -F, '/context-switches/ { print $1 }' "$work/perf")
  switch_per=$(awk -v s="$switches" -v n="$requests" 'BEGIN { printf "%.2f", s / n }')
  cpu_per=$(awk -v t="$((u1 + s1 - u0 - s0))" -v k="$ticks" -v n="$requests" 'BEGIN { printf "%.0f", t / k * 1e6 / n }')
}

# Switches and CPU time: the server at full speed.
start "$server"
drive 3
curl -s -o "$work/page.html" "http://127.0.0.1:$port/" || true
measure_running
stop

# Instructions: the same server under callgrind, counting only the measured run.
start valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/cg.%p" "$server"
drive 3
c0=$(lines)
callgrind_control -i on "$pid" >/dev/null 2>&1
drive "$seconds"
callgrind_control -i off "$pid" >/dev/null 2>&1
c1=$(lines)
stop
total=$(cat "$work"/cg.* | awk '/^(summary|totals):/ { s = $2 } END { print s + 0 }')
instr_per=$(awk -v t="$total" -v n="$((c1 - c0))" 'BEGIN { printf "%.0f", t / n }')
echo "COST instructions=$instr_per switches=$switch_per cpu_us=$cpu_per requests=$requests callgrind_requests=$((c1 - c0))"

minimal="$build/bench/quorvane_minimal_server"
if [ -x "$minimal" ] && [ -s "$work/page.html" ]; then
  "$minimal" "$port" "$work/page.html" >"$work/out" 2>"$work/err" &
  pid=$!
  for _ in $(seq 100); do grep -q '^ready' "$work/out" 2>/dev/null && break; sleep 0.1; done
  drive 3
  measure_running
  stop
  echo "ANCHOR minimal switches=$switch_per cpu_us=$cpu_per requests=$requests"
fi
