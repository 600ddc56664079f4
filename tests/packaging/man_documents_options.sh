#!/bin/sh
# Every option a program's --help mentions is documented, as an entry of its own, in its man page.
#   man_documents_options.sh PROGRAM MANPAGE
set -eu
program=${1:?usage: man_documents_options.sh PROGRAM MANPAGE}
manpage=${2:?usage: man_documents_options.sh PROGRAM MANPAGE}

help=$("$program" --help) || { echo "FAIL: $program --help exited with $?" >&2; exit 1; }
in_help=$(printf '%s\n' "$help" | grep -o -e '--[a-z][a-z0-9-]*' | sort -u)
[ -n "$in_help" ] || { echo "FAIL: $program --help names no option" >&2; exit 1; }

# The tag line after each .TP or .TQ is an entry's heading; troff writes a hyphen as \-.
in_man=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$manpage" |
  awk '/^\.T[PQ]/ { tag = 1; next } tag { print; tag = 0 }' |
  grep -o -e '--[a-z][a-z0-9-]*' | sort -u)

missing=$(printf '%s\n' "$in_help" | grep -v -x -F -e "$in_man" || true)
if [ -n "$missing" ]; then
  echo "FAIL: $manpage has no entry for these options of $program --help:" >&2
  printf '  %s\n' $missing >&2
  exit 1
fi
extra=$(printf '%s\n' "$in_man" | grep -v -x -F -e "$in_help" || true)
[ -z "$extra" ] || echo "note: $manpage documents options --help does not name:" $extra
echo "ok: $(printf '%s\n' "$in_help" | wc -l) options of $program --help documented in $manpage"
