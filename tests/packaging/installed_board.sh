#!/usr/bin/env bash
# The packaged board works as installed: unpacks the .deb into a temporary root (dpkg-deb -x),
# starts its quorvane-democal, runs its quorvane headless on a free port as the packaged unit's
# ExecStart does (--config with the packaged quorvane.conf, then the options), with the example
# roster and the secrets handed over as systemd does (read-only 0440 copies in
# $CREDENTIALS_DIRECTORY, named by credential: the conf's "calendar" and a netrc), and checks
# that the served page has a row for every person once the first refresh is done; then SIGTERM
# must end it with status 0. A credential others may read is refused with status 2.
#   installed_board.sh [DEB]     without DEB, scripts/package builds it
# Exit 77 (skipped) when the packaged program has no --port option yet.
set -euo pipefail

deb=${1:-}
if [ -z "$deb" ]; then
  deb=$("$(dirname "$0")/../../scripts/package" | tail -n 1)
fi
[ -f "$deb" ] || { echo "FAIL: no package at '$deb'" >&2; exit 1; }

work=$(mktemp -d /tmp/quorvane-installed.XXXXXX)
democal_pid=""
board_pid=""
cleanup() {
  chmod -R u+w "$work" 2>/dev/null || true
  [ -n "$board_pid" ] && kill -KILL "$board_pid" 2>/dev/null || true
  [ -n "$democal_pid" ] && kill "$democal_pid" 2>/dev/null && wait "$democal_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in board.out board.err democal.err; do
    [ -s "$work/$log" ] && { echo "--- $log" >&2; tail -n 40 "$work/$log" >&2; }
  done
  exit 1
}

dpkg-deb -x "$deb" "$work/root"
board="$work/root/usr/bin/quorvane"
democal="$work/root/usr/bin/quorvane-democal"
example="$work/root/usr/share/doc/quorvane/examples/demo/people.txt"
unit="$work/root/usr/lib/systemd/system/quorvane.service"
conf="$work/root/etc/quorvane/quorvane.conf"
for f in "$board" "$democal" "$example" "$unit" "$conf"; do [ -e "$f" ] || fail "the package has no ${f#"$work/root"}"; done

if ! "$board" --help | grep -q -e '--port'; then
  echo "skipped: the packaged quorvane has no --port option yet"
  exit 77
fi

# The roster lives elsewhere than the working directory, as for the service; the secrets are
# systemd's copies: read-only, group-readable, in a directory of their own.
mkdir -p "$work/etc" "$work/cwd" "$work/credentials"
cp "$example" "$work/etc/people.txt"
printf 'demo\ndemo\n' >"$work/credentials/calendar"
printf 'machine 127.0.0.1 login demo password demo\n' >"$work/credentials/netrc"
chmod 0440 "$work/credentials/calendar" "$work/credentials/netrc"
chmod 0500 "$work/credentials"
# The unit's command with the package's root in front of its paths; QUORVANE_OPTIONS follow it.
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
case "$exec_start" in
  *'$QUORVANE_OPTIONS') ;;
  *) fail "the unit's ExecStart does not end with \$QUORVANE_OPTIONS: $exec_start" ;;
esac
read -r -a service_command <<<"$(sed -e 's# \$QUORVANE_OPTIONS$##' -e "s#/usr/bin/#$work/root/usr/bin/#" \
  -e "s#/etc/#$work/root/etc/#g" <<<"$exec_start")"
service_env=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen CREDENTIALS_DIRECTORY="$work/credentials")
mapfile -t names < <(sed -n 's/^"\([^"]*\)".*/\1/p' "$work/etc/people.txt")
[ ${#names[@]} -gt 0 ] || fail "no names in the example roster"

"$democal" --port 0 --cert-out "$work/ca.pem" >"$work/democal.out" 2>"$work/democal.err" &
democal_pid=$!
for _ in $(seq 100); do
  calendar_port=$(head -n 1 "$work/democal.out" 2>/dev/null || true)
  [ -n "$calendar_port" ] && break
  kill -0 "$democal_pid" 2>/dev/null || fail "quorvane-democal exited"
  sleep 0.1
done
[ -n "$calendar_port" ] || fail "quorvane-democal printed no port"

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' 2>/dev/null ||
    echo $((20000 + RANDOM % 40000))
}

# A port found free can be taken before the board binds it: a start that fails to bind is
# retried on another port.
for attempt in 1 2 3; do
  port=$(free_port)
  (cd "$work/cwd" && exec "${service_env[@]}" "${service_command[@]}" --port "$port" --bind 127.0.0.1 \
    --roster "$work/etc/people.txt" --netrc-file netrc \
    --calendar-host "127.0.0.1:$calendar_port" --calendar-ca "$work/ca.pem") \
    >"$work/board.out" 2>"$work/board.err" &
  board_pid=$!
  started=""
  for _ in $(seq 100); do
    if curl -s -o /dev/null "http://127.0.0.1:$port/"; then started=1; break; fi
    kill -0 "$board_pid" 2>/dev/null || break
    sleep 0.2
  done
  [ -n "$started" ] && break
  if kill -0 "$board_pid" 2>/dev/null; then fail "the board did not answer on port $port within 20 s"; fi
  wait "$board_pid" || true
  board_pid=""
  grep -qi 'in use' "$work/board.err" || fail "the board exited before serving"
done
[ -n "$started" ] || fail "no free port found in three attempts"

# The first refresh ends with "Done" in the activity log (standard output when headless).
for _ in $(seq 900); do
  grep -q '^.*Done' "$work/board.out" && break
  kill -0 "$board_pid" 2>/dev/null || fail "the board exited during its first refresh"
  sleep 0.2
done
grep -q 'Done' "$work/board.out" || fail "the first refresh did not finish within 180 s"

page=$(curl -s "http://127.0.0.1:$port/") || fail "no page after the refresh"
for name in "${names[@]}"; do
  grep -q -F "<h2>$name</h2>" <<<"$page" || fail "the page has no row for '$name'"
done
rows=$(grep -o '<h2>' <<<"$page" | wc -l)
[ "$rows" -eq ${#names[@]} ] || fail "the page has $rows rows for ${#names[@]} people"
grep -q ' until ' <<<"$page" || fail "the page shows no meeting in progress"

kill -TERM "$board_pid"
for _ in $(seq 100); do kill -0 "$board_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$board_pid" 2>/dev/null && fail "the board did not stop within 10 s of SIGTERM"
status=0
wait "$board_pid" || status=$?
board_pid=""
[ "$status" -eq 0 ] || fail "the board exited with $status after SIGTERM"
# A copy others may read is no secret: refused before anything starts, and not restarted (2).
chmod 0700 "$work/credentials"
cp "$work/credentials/netrc" "$work/credentials/open-netrc"
chmod 0444 "$work/credentials/open-netrc"
status=0
(cd "$work/cwd" && exec "${service_env[@]}" "${service_command[@]}" --port "$port" \
  --roster "$work/etc/people.txt" --netrc-file open-netrc) >/dev/null 2>"$work/board.err" || status=$?
[ "$status" -eq 2 ] || fail "an open netrc credential ended the board with $status, not 2"
grep -q "the netrc file '$work/credentials/open-netrc' must be readable by its owner only" "$work/board.err" ||
  fail "an open netrc credential was not refused as such: $(cat "$work/board.err")"
echo "ok: the packaged board served ${#names[@]} rows on port $port and stopped on SIGTERM"
