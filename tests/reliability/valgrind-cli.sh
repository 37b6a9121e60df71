#!/usr/bin/env bash
# A cut and a join by parvix-cli under valgrind memcheck: no invalid access, no uninitialised value
# used, no leak; and the joined file equals the source, a missing piece rebuilt from the recovery.
set -euo pipefail
valgrind=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head -c 3000000 /dev/urandom >"$work/movie.avi"
memcheck=("$valgrind" --tool=memcheck --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=all
    --show-leak-kinds=definite,indirect,possible --track-origins=yes --quiet)

"${memcheck[@]}" "$cli" cut --yes --recovery 1 "$work/movie.avi" "$work/movie\$avi" >"$work/cut.out"
"${memcheck[@]}" "$cli" cut --yes --kb 700.5 "$work/movie.avi" "$work/small\$avi" >/dev/null
mapfile -t pieces < <(head -n -1 "$work/cut.out")
[ "${#pieces[@]}" -eq 3 ] || { echo "expected 3 pieces, got ${#pieces[@]}" >&2; exit 1; }
"${memcheck[@]}" "$cli" join --yes "$work/joined.avi" "${pieces[@]}"
cmp "$work/movie.avi" "$work/joined.avi"
rm "${pieces[1]}" "$work/joined.avi"
"${memcheck[@]}" "$cli" join --yes "$work/joined.avi" "${pieces[@]}" 2>"$work/rebuilt.err"
grep -q "rebuilt" "$work/rebuilt.err"
cmp "$work/movie.avi" "$work/joined.avi"
# The error path too: a piece that is gone, and nothing to rebuild it.
rm "$work"/movie\$avi*.par2
status=0
"${memcheck[@]}" "$cli" join --yes "$work/broken.avi" "${pieces[@]}" 2>"$work/broken.err" || status=$?
[ "$status" -eq 2 ] || { echo "expected exit 2 from the failing join, got $status" >&2; cat "$work/broken.err" >&2; exit 1; }
grep -q "^Tavrin: The file cann't to be written!$" "$work/broken.err"
echo "valgrind: cut, join and a failing join clean"
