#!/usr/bin/env bash
# End to end under a virtual X display: the operator answers the two start-up prompts by
# keyboard (the password prompt masked), the board then serves a live page, a screenshot of the
# screen is saved as a test artifact, and a stop request ends the program with code 0.
#   prompt_xvfb.sh PROGRAM DEMOCAL PEOPLE_FILE ARTIFACT_DIR
# Exit code 77 (skipped) when xvfb-run, xdotool or a screenshot tool is missing.
set -euo pipefail
program=$1 democal=$2 people=$3 artifacts=$4

for tool in xvfb-run xdotool curl; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [ -z "${QUORVANE_IN_XVFB:-}" ]; then
  export QUORVANE_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1100x24" "$0" "$@"
fi

work=$(mktemp -d /tmp/quorvane-xvfb.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- board stderr"; tail -n 20 "$work/board.err" || true; exit 1; }

"$democal" --port 0 --cert-out "$work/ca.pem" >"$work/democal.out" 2>"$work/democal.log" &
pids+=($!)
for _ in $(seq 100); do port=$(head -n 1 "$work/democal.out" 2>/dev/null || true); [ -n "$port" ] && break; sleep 0.1; done
[ -n "${port:-}" ] || fail "the demo calendar did not start"

cp "$people" "$work/people.txt"
cd "$work"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# Its own state directory: a board saved by another run would be served before the log-in.
export XDG_STATE_HOME="$work/state"
unset STATE_DIRECTORY
# A free port for the board: the test must not depend on its default one.
board_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])' 2>/dev/null ||
  echo $((20000 + RANDOM % 40000)))
"$program" --calendar-host "127.0.0.1:$port" --calendar-ca "$work/ca.pem" --port "$board_port" \
  >"$work/board.out" 2>"$work/board.err" &
board=$!
pids+=($board)

# Types text into the window named title once it shows, then presses Enter.
answer() {
  local title=$1 text=$2 window=""
  for _ in $(seq 150); do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$board" 2>/dev/null || fail "the program ended before the prompt '$title'"
    sleep 0.2
  done
  [ -n "$window" ] || fail "no prompt '$title'"
  sleep 0.5
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool type --delay 30 "$text"
  xdotool key Return
}
answer "Quorvane - Username Needed" "demo"
answer "Quorvane - Password Needed" "s3cret"

for _ in $(seq 300); do
  body=$(curl -s "http://127.0.0.1:$board_port/" || true)
  case "$body" in *"Data refreshed"*) break ;; esac
  sleep 0.5
done
case "${body:-}" in *"Data refreshed"*) ;; *) fail "the board never served a refreshed page" ;; esac
rows=$(grep -o '<h2>' <<<"$body" | wc -l)
want=$(grep -c . "$people")
[ "$rows" -eq "$want" ] || fail "the board has $rows rows, the roster $want people"
xdotool search --onlyvisible --name '^Quorvane$' >/dev/null || fail "no visible window captioned exactly 'Quorvane'"
grep -q 'srch_query=demo&srch_xitemid=&password=s3cret&' "$work/democal.log" || fail "the calendar saw no log-in with the typed credentials"

# Let the window's browser show the board, then photograph the screen.
sleep 4
mkdir -p "$artifacts"
shot="$artifacts/quorvane-window.png"
if command -v import >/dev/null; then
  import -window root "$shot"
elif command -v xwd >/dev/null && command -v convert >/dev/null; then
  xwd -root -silent | convert xwd:- "$shot"
fi
[ -s "$shot" ] && echo "screenshot: $shot"

kill -TERM "$board"
for _ in $(seq 300); do kill -0 "$board" 2>/dev/null || break; sleep 0.2; done
wait "$board" && code=0 || code=$?
[ "$code" -eq 0 ] || fail "the program ended with code $code"
# A stop request while a prompt is open ends start-up and the program, with code 0.
"$program" --calendar-host "127.0.0.1:$port" --calendar-ca "$work/ca.pem" --port "$board_port" \
  >"$work/board2.out" 2>"$work/board2.err" &
board=$!
pids+=($board)
for _ in $(seq 150); do
  xdotool search --onlyvisible --name '^Quorvane - Username Needed$' >/dev/null 2>&1 && break
  sleep 0.2
done
kill -TERM "$board"
for _ in $(seq 100); do kill -0 "$board" 2>/dev/null || break; sleep 0.1; done
kill -0 "$board" 2>/dev/null && fail "a stop request during the prompts did not end the program"
wait "$board" && code=0 || code=$?
[ "$code" -eq 0 ] || fail "stopped during the prompts, the program ended with code $code"

echo "PASS: prompts answered by keyboard, $rows rows served, exit code 0; stop during the prompts ends it"
