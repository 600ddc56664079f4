# Sourced by the serving benchmarks: wrk rounds over several servers, one request per connection.
# Expects: $connections, $seconds, $rounds, $work, and an associative array `port` (name -> port).
#   wrk_rounds WARMUP_SECONDS NAME...   fills the associative arrays rps and p99 (medians over the
#                                       rounds) and prints one line per server.

# measure PORT SECONDS: one wrk run; prints "requests/s p99-milliseconds errors".
measure() {
  local out
  out=$(wrk -t2 -c"$connections" -d"${2}s" --latency -H "Connection: close" "http://127.0.0.1:$1/")
  awk '/^Requests\/sec:/ { rps = $2 }
       /Socket errors/ { gsub(",", ""); errors = $4 + $6 + $8 + $10 }
       /Non-2xx/ { errors += $NF }
       $1 == "99%" { v = $2
         if (v ~ /us$/) { sub(/us$/, "", v); v = v / 1000 }
         else if (v ~ /ms$/) { sub(/ms$/, "", v); v = v + 0 }
         else if (v ~ /s$/) { sub(/s$/, "", v); v = v * 1000 }
         p99 = v }
       END { print rps, p99, errors + 0 }' <<<"$out"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A rps p99
# The servers take turns within each round, so that other load on the machine falls on all alike.
wrk_rounds() {
  local warmup=$1 s errors
  shift
  for s in "$@"; do measure "${port[$s]}" "$warmup" >/dev/null; : >"$work/r-$s.txt"; done
  for _ in $(seq "$rounds"); do
    for s in "$@"; do measure "${port[$s]}" "$seconds" >>"$work/r-$s.txt"; done
  done
  for s in "$@"; do
    rps[$s]=$(cut -d' ' -f1 "$work/r-$s.txt" | median)
    p99[$s]=$(cut -d' ' -f2 "$work/r-$s.txt" | median)
    errors=$(awk '{ e += $3 } END { print e + 0 }' "$work/r-$s.txt")
    printf '%-8s %9.0f req/s (median)   p99 %6.2f ms   rounds: %s   p99s: %s%s\n' "$s" "${rps[$s]}" "${p99[$s]}" \
      "$(cut -d' ' -f1 "$work/r-$s.txt" | awk '{ printf "%s%.0f", (NR > 1 ? " " : ""), $1 }')" \
      "$(cut -d' ' -f2 "$work/r-$s.txt" | awk '{ printf "%s%.2f", (NR > 1 ? " " : ""), $1 }')" \
      "$([ "$errors" -gt 0 ] && echo "   errors: $errors" || true)"
  done
}
