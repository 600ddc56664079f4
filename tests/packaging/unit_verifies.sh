#!/bin/sh
# systemd accepts the service file, and the options its ExecStart passes are ones the program has.
#   unit_verifies.sh UNIT MANPAGE [PROGRAM]
# systemd-analyze verify wants the ExecStart program and the Documentation= man page to exist:
# the unit is checked as a copy whose program path points at PROGRAM (or a stand-in), with the
# man page on MANPATH.
set -eu
unit=${1:?usage: unit_verifies.sh UNIT MANPAGE [PROGRAM]}
manpage=${2:?usage: unit_verifies.sh UNIT MANPAGE [PROGRAM]}
program=${3:-}

command -v systemd-analyze >/dev/null || { echo "skipped: no systemd-analyze (Debian package systemd)"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/man/man1"
cp "$manpage" "$work/man/man1/quorvane.1"
stand_in=$program
if [ -z "$stand_in" ]; then
  stand_in="$work/quorvane"
  printf '#!/bin/sh\n' >"$stand_in"
  chmod 755 "$stand_in"
fi
sed "s#^ExecStart=/usr/bin/quorvane #ExecStart=$stand_in #" "$unit" >"$work/quorvane.service"
grep -q "^ExecStart=$stand_in " "$work/quorvane.service" ||
  { echo "FAIL: $unit has no ExecStart=/usr/bin/quorvane line" >&2; exit 1; }

if ! out=$(MANPATH="$work/man" systemd-analyze verify "$work/quorvane.service" 2>&1) || [ -n "$out" ]; then
  echo "FAIL: systemd-analyze verify $unit:" >&2
  printf '%s\n' "$out" >&2
  exit 1
fi
echo "ok: systemd-analyze verify accepts $unit"

[ -n "$program" ] || exit 0
help=$("$program" --help)
missing=""
for option in $(sed -n 's/^ExecStart=//p' "$unit" | grep -o -e '--[a-z][a-z0-9-]*'); do
  printf '%s\n' "$help" | grep -q -e "$option\\b" || missing="$missing $option"
done
if [ -n "$missing" ]; then
  if ! printf '%s\n' "$help" | grep -q -e '--port'; then
    echo "skipped: $program predates the service options (its --help lacks:$missing)"
    exit 77
  fi
  echo "FAIL: $unit passes options $program --help does not name:$missing" >&2
  exit 1
fi
echo "ok: $program has every option ExecStart passes"
