#!/usr/bin/env bash
# The board's serving rate against its anchors, in one run on loopback:
#   board     quorvane_load_server: the real web server and page handler, access lines going to
#             the activity log (full at 10,000 lines after the warm-up), drained by a main thread
#   minimal   quorvane_minimal_server: accept, detached thread, read to the blank line, write, close
#   node      Node's http module (bench/node-server.js)
#   nginx     nginx serving the same bytes as a static file, keep-alive off (bench/nginx-board.conf.in)
#   cache     nginx with examples/deploy/nginx-board.conf in front of the board (one-second cache)
# Every server is checked to answer 200 with the board's page bytes before anything is measured.
# wrk drives each in turn, 32 connections, one request per connection ("Connection: close"), in
# alternating rounds so that other load on the machine falls on all alike. Prints each server's
# median requests/s and median p99 over the rounds, and the ratios.
#   bench/serve_anchors.sh [--seconds S] [--rounds N] [--connections C] [--build DIR] [--only LIST]
# BOARD_ARGS in the environment go to the board server (e.g. "--drain-delay-ms 20").
# S: length of one server's turn in a round (default 8); N rounds (default 3); LIST: comma-separated
# subset of board,minimal,node,nginx,cache. Exit 1 when a server fails its check.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=8 rounds=3 connections=32 build=build-bench only=board,minimal,node,nginx,cache
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --rounds) rounds="$2"; shift 2 ;;
    --connections) connections="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    *) echo "serve_anchors: unknown option '$1'" >&2; exit 2 ;;
  esac
done
for tool in nginx wrk node curl python3; do
  command -v "$tool" >/dev/null || { echo "serve_anchors: $tool missing (scripts/setup --bench)" >&2; exit 2; }
done
ulimit -n 16384 2>/dev/null || true

if [ ! -x "$build/bench/quorvane_load_server" ] || [ ! -x "$build/bench/quorvane_minimal_server" ] || [ -n "${REBUILD:-}" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_BENCH=ON -DQUORVANE_GUI=OFF \
    -DQUORVANE_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 --target quorvane_load_server quorvane_minimal_server >/dev/null
fi

work=$(mktemp -d /tmp/quorvane-anchors.XXXXXX)
chmod 755 "$work"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

read -r board_port minimal_port node_port nginx_port cache_port < <(python3 -c '
import socket
held = []
for _ in range(5):
    s = socket.socket(); s.bind(("127.0.0.1", 0)); held.append(s)
ports = [s.getsockname()[1] for s in held]
for s in held: s.close()
print(*ports)')

# wait_ready PORT NAME: until the server answers.
wait_ready() {
  for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$1/" && return 0; sleep 0.1; done
  echo "serve_anchors: $2 did not start" >&2; exit 1
}

"$build/bench/quorvane_load_server" --port "$board_port" ${BOARD_ARGS:-} >"$work/board.out" 2>&1 &
pids+=($!)
wait_ready "$board_port" board
curl -s -o "$work/page.html" "http://127.0.0.1:$board_port/"
chmod 644 "$work/page.html"

"$build/bench/quorvane_minimal_server" "$minimal_port" "$work/page.html" >"$work/minimal.out" 2>&1 &
pids+=($!)
node bench/node-server.js "$node_port" "$work/page.html" >"$work/node.out" 2>&1 &
pids+=($!)

mkdir -p "$work/nginx/www" "$work/nginx/tmp" "$work/cache/tmp" "$work/cache/store"
chmod -R 777 "$work/nginx" "$work/cache"
cp "$work/page.html" "$work/nginx/www/board.html"
sed -e "s#@DIR@#$work/nginx#g" -e "s#@PORT@#$nginx_port#g" -e "s#@TIMEOUT@#30000#g" \
  bench/nginx-board.conf.in >"$work/nginx/nginx.conf"
nginx -p "$work/nginx" -e "$work/nginx/error.log" -c "$work/nginx/nginx.conf" &
pids+=($!)

# The deployment example as it is, with its ports, cache folder and log moved here.
sed -e "s#listen 8080;#listen 127.0.0.1:$cache_port backlog=511;#" \
    -e "s#server 127.0.0.1:7350;#server 127.0.0.1:$board_port;#" \
    -e "s#/var/cache/nginx/quorvane-board#$work/cache/store#" \
    -e "s#/var/log/nginx/quorvane-board.access.log#$work/cache/access.log#" \
    examples/deploy/nginx-board.conf >"$work/cache/board.conf"
cat >"$work/cache/nginx.conf" <<CONF
worker_processes 2;
daemon off;
pid $work/cache/nginx.pid;
error_log $work/cache/error.log warn;
events { worker_connections 4096; }
http {
  client_body_temp_path $work/cache/tmp/body;
  proxy_temp_path $work/cache/tmp/proxy;
  fastcgi_temp_path $work/cache/tmp/fastcgi;
  uwsgi_temp_path $work/cache/tmp/uwsgi;
  scgi_temp_path $work/cache/tmp/scgi;
  keepalive_timeout 0;
  include $work/cache/board.conf;
}
CONF
nginx -p "$work/cache" -e "$work/cache/error.log" -c "$work/cache/nginx.conf" &
pids+=($!)

declare -A port=([board]=$board_port [minimal]=$minimal_port [node]=$node_port [nginx]=$nginx_port [cache]=$cache_port)
IFS=, read -r -a servers <<<"$only"
for s in "${servers[@]}"; do
  wait_ready "${port[$s]}" "$s"
  status=$(curl -s -o "$work/check-$s.html" -w '%{http_code}' "http://127.0.0.1:${port[$s]}/")
  if [ "$status" != 200 ] || ! cmp -s "$work/page.html" "$work/check-$s.html"; then
    # The board's page shows the minute: a check across a minute's turn is not a failure.
    curl -s -o "$work/again.html" "http://127.0.0.1:$board_port/"
    if [ "$s" != board ] || ! cmp -s "$work/page.html" "$work/again.html"; then
      echo "serve_anchors: $s answered $status, not the board's page bytes" >&2; exit 1
    fi
  fi
done
echo "page: $(wc -c <"$work/page.html") bytes, identical from ${only//,/, }; $connections connections," \
  "one request each, $rounds rounds of ${seconds}s"

. bench/wrk_rounds.sh
wrk_rounds 3 "${servers[@]}"  # the warm-up fills the log
ratio() { [ -n "${rps[$1]:-}" ] && [ -n "${rps[$2]:-}" ] && \
  awk -v a="${rps[$1]}" -v b="${rps[$2]}" -v pa="${p99[$1]}" -v pb="${p99[$2]}" -v n="$1/$2" \
    'BEGIN { printf "RATIO %-14s %.2fx   (p99 %.2f vs %.2f ms)\n", n, a / b, pa, pb }' || true; }
ratio board minimal
ratio board node
ratio board nginx
ratio cache nginx
# board_lines: the access lines the board has logged so far (its stats line, on SIGUSR1).
board_lines() {
  local before; before=$(grep -c '^stats' "$work/board.out" || true)
  kill -USR1 "${pids[0]}"
  for _ in $(seq 50); do [ "$(grep -c '^stats' "$work/board.out" || true)" -gt "$before" ] && break; sleep 0.1; done
  grep '^stats' "$work/board.out" | tail -1 | sed 's/.*access_lines=\([0-9]*\).*/\1/'
}
if [[ ",$only," == *,cache,* ]]; then
  before=$(board_lines)
  wrk -t2 -c"$connections" -d"${seconds}s" -H "Connection: close" "http://127.0.0.1:$cache_port/" >"$work/cache-wrk.txt"
  after=$(board_lines)
  echo "through the cache: $(awk '/requests in/ { print $1 }' "$work/cache-wrk.txt") screen requests in ${seconds} s," \
    "$((after - before)) of them reached the board"
fi
