#!/usr/bin/env bash
# Memory of the headless board with a roster of calendar feeds only: 100 people (the demo
# calendar's eight feeds, listed in turn under 100 names), no credentials, measured once
# the first grab's "Done" is logged: /proc/PID/status, /proc/PID/smaps_rollup, the resident size
# of the largest mapped files, the process count, and whether any Qt WebEngine library is mapped.
#   bench/feed_memory.sh [--build DIR] [--program FILE]
# DIR: the build holding app/quorvane and tools/quorvane-democal (default build/); --program
# measures another build of the program (an older commit's, for a before-and-after).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build program_file=
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build="$2"; shift 2 ;;
    --program) program_file="$2"; shift 2 ;;
    *) echo "feed_memory: unknown option '$1'" >&2; exit 2 ;;
  esac
done
program=${program_file:-$build/app/quorvane} democal="$build/tools/quorvane-democal"
[ -x "$program" ] && [ -x "$democal" ] || { echo "feed_memory: build quorvane and quorvane-democal in $build" >&2; exit 2; }

work=$(mktemp -d /tmp/quorvane-feedmem.XXXXXX)
democal_pid="" board_pid=""
cleanup() {
  [ -n "$board_pid" ] && kill "$board_pid" 2>/dev/null && wait "$board_pid" 2>/dev/null || true
  [ -n "$democal_pid" ] && kill "$democal_pid" 2>/dev/null && wait "$democal_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$democal" --port 0 >"$work/democal.out" 2>"$work/democal.err" &
democal_pid=$!
for _ in $(seq 100); do
  calendar_port=$(head -n 1 "$work/democal.out" 2>/dev/null || true)
  [ -n "$calendar_port" ] && break
  sleep 0.1
done
[ -n "$calendar_port" ] || { echo "feed_memory: quorvane-democal printed no port" >&2; exit 1; }

sed "s/:PORT\//:$calendar_port\//" examples/demo/people-ics.txt |
  awk '{ feeds[n++] = $0 } END { for (i = 0; i < 100; i++) { line = feeds[i % n]; sub(/",/, " " i "\",", line); print line } }' \
  >"$work/people.txt"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --port "$port" --bind 127.0.0.1 \
  --roster "$work/people.txt" >"$work/board.out" 2>"$work/board.err" &
board_pid=$!
for _ in $(seq 600); do
  grep -q '] Done' "$work/board.out" 2>/dev/null && break
  kill -0 "$board_pid" 2>/dev/null || { cat "$work/board.err" >&2; exit 1; }
  sleep 0.1
done
grep -q '] Done' "$work/board.out" || { echo "feed_memory: no grab done in 60 s" >&2; exit 1; }
sleep 1  # the state file written after the grab

echo "people: $(grep -c . "$work/people.txt"), grabbed: $(grep -c 'Grabbing Calendar for' "$work/board.out")"
echo "processes: $(( $(pgrep -P "$board_pid" | wc -l) + 1 )), threads: $(ls "/proc/$board_pid/task" | wc -l)"
grep -E '^(VmRSS|RssAnon|RssFile|RssShmem|VmHWM)' "/proc/$board_pid/status"
grep -E '^(Rss|Anonymous|Private_Dirty)' "/proc/$board_pid/smaps_rollup"
echo "resident by mapped file (kB):"
awk '/^[0-9a-f]+-[0-9a-f]+ / { name = (NF >= 6 ? $6 : "[anon]") } /^Rss:/ { rss[name] += $2 }
     END { for (n in rss) if (rss[n] >= 256) printf "%8d %s\n", rss[n], n }' "/proc/$board_pid/smaps" | sort -rn | head -25
[ -n "${FEED_MEMORY_HOOK:-}" ] && "$FEED_MEMORY_HOOK" "$board_pid"
if grep -q WebEngine "/proc/$board_pid/maps"; then echo "Qt WebEngine mapped: yes"; else echo "Qt WebEngine mapped: no"; fi
