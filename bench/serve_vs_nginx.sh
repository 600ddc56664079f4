#!/usr/bin/env bash
# Load run: the board page served by Quorvane's server (access log full at 10000 lines) against
# nginx serving the identical bytes as a static file, keep-alive off, both driven by wrk on
# loopback in the same run, one connection per request. Prints requests/s, p99 and the ratio.
#   bench/serve_vs_nginx.sh [SECONDS] [CONNECTIONS]
# Environment: BUILD (build directory, default build-bench), PORT (default 17350; nginx uses
# PORT+1), NGINX_ACCESS_LOG (on|off, default on: nginx writes its access log like we do),
# LISTEN_QUEUE (when set, both servers listen with this backlog; by default each keeps its own:
# the board's 15 and nginx's 511), LOG_VIEW (deque: the access log's line view deletes its first
# line in constant time, like the window's text box, instead of the TStringList stand-in).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
connections=${2:-50}
build=${BUILD:-build-bench}
port=${PORT:-17350}
nginx_port=$((port + 1))
for tool in nginx wrk; do
  command -v "$tool" >/dev/null || { echo "serve_vs_nginx: $tool missing (scripts/setup --bench)" >&2; exit 2; }
done

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_BENCH=ON -DQUORVANE_GUI=OFF \
  -DQUORVANE_TESTS=OFF >/dev/null
cmake --build "$build" --target quorvane_serve_bench -j2 >/dev/null

work=$(mktemp -d)
chmod 755 "$work"
mkdir -p "$work/www" "$work/tmp"
server_pid=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null || true
  sleep 0.3
  rm -rf "$work"
}
trap cleanup EXIT

queue_args=()
nginx_backlog=""
if [ -n "${LISTEN_QUEUE:-}" ]; then
  queue_args=(25 "$LISTEN_QUEUE")
  nginx_backlog=" backlog=$LISTEN_QUEUE"
fi
"$build/bench/quorvane_serve_bench" "$port" "$work/www/index.html" "${queue_args[@]}" >"$work/server.out" 2>&1 &
server_pid=$!
chmod 644 "$work/www/index.html" 2>/dev/null || true

access_log="access_log $work/access.log;"
[ "${NGINX_ACCESS_LOG:-on}" = off ] && access_log="access_log off;"
cat >"$work/nginx.conf" <<CONF
worker_processes auto;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 4096; }
http {
  $access_log
  keepalive_timeout 0;
  sendfile on;
  client_body_temp_path $work/tmp;
  proxy_temp_path $work/tmp;
  fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp;
  scgi_temp_path $work/tmp;
  server {
    listen 127.0.0.1:$nginx_port$nginx_backlog;
    root $work/www;
    default_type "text/html; charset=utf-8";
    location / { try_files /index.html =404; }
  }
}
CONF
nginx -c "$work/nginx.conf"

for _ in $(seq 50); do
  curl -s -o /dev/null "http://127.0.0.1:$port/" && curl -s -o /dev/null "http://127.0.0.1:$nginx_port/" && break
  sleep 0.1
done
if ! cmp -s <(curl -s "http://127.0.0.1:$port/") <(curl -s "http://127.0.0.1:$nginx_port/"); then
  echo "serve_vs_nginx: the two servers do not send the same page" >&2
  exit 1
fi
bytes=$(curl -s "http://127.0.0.1:$port/" | wc -c)

# measure PORT SECONDS: one wrk run; prints "requests/s p99-milliseconds".
measure() {
  local out
  out=$(wrk -t2 -c"$connections" -d"${2}s" --latency -H "Connection: close" "http://127.0.0.1:$1/")
  if grep -q -E 'Socket errors|Non-2xx' <<<"$out"; then grep -E 'Socket errors|Non-2xx' <<<"$out" | sed 's/^/  /' >&2; fi
  awk '/^Requests\/sec:/ { rps = $2 }
       $1 == "99%" { v = $2
         if (v ~ /us$/) { sub(/us$/, "", v); v = v / 1000 }
         else if (v ~ /ms$/) { sub(/ms$/, "", v); v = v + 0 }
         else if (v ~ /s$/) { sub(/s$/, "", v); v = v * 1000 }
         p99 = v }
       END { print rps, p99 }' <<<"$out"
}

# The two servers take turns in short rounds, so that other load on the machine falls on both
# alike; requests/s is the mean of the rounds, p99 their median.
rounds=${ROUNDS:-5}
slice=$(( seconds / rounds > 0 ? seconds / rounds : 1 ))
echo "page: $bytes bytes; $((slice * rounds)) s per server in $rounds alternating rounds, $connections connections," \
  "one request per connection, listen queue ${LISTEN_QUEUE:-15 (board) / 511 (nginx)}"
measure "$port" 2 >/dev/null; measure "$nginx_port" 2 >/dev/null  # warm-up
: >"$work/q.txt"; : >"$work/n.txt"
for _ in $(seq "$rounds"); do
  measure "$port" "$slice" >>"$work/q.txt"
  measure "$nginx_port" "$slice" >>"$work/n.txt"
done
summary() { sort -k2 -g "$1" | awk '{ r += $1; p[NR] = $2 } END { printf "%.0f %.2f", r / NR, p[int((NR + 1) / 2)] }'; }
read -r q_rps q_p99 <<<"$(summary "$work/q.txt")"
read -r n_rps n_p99 <<<"$(summary "$work/n.txt")"
printf '%-10s %8s req/s   p99 %8s ms\n' quorvane "$q_rps" "$q_p99" nginx "$n_rps" "$n_p99"
awk -v q="$q_rps" -v n="$n_rps" -v qp="$q_p99" -v np="$n_p99" \
  'BEGIN { printf "ratio (quorvane / nginx): throughput %.2fx, p99 %.2fx\n", q / n, qp / np }'

kill "$server_pid"
wait "$server_pid" 2>/dev/null || true
server_pid=""
echo "log view: ${LOG_VIEW:-TStringList}; $(tail -n 1 "$work/server.out")"
