#!/usr/bin/env bash
# Cuts a file with parvix-cli.exe under Wine, runs the Link.bat it wrote with Wine's cmd in the
# pieces' folder, and checks that the file it rebuilds equals the source byte for byte.
#   link-bat-roundtrip.sh CASE PARVIX-CLI.EXE WINE WORK-DIR
set -euo pipefail
case_name=$1 cli=$2 wine=$3 work=$4

# The source's name, its size in bytes, the piece size in kilobytes.
case $case_name in
three) name='movie.avi' size=2500 kb=1 ;;
# More than 999 pieces: several lines, and .1000 after .999.
thousand) name='big.bin' size=1025000 kb=1 ;;
# cmd expands "%" even inside quotes, and "&" ends a command outside them.
specials) name='100% & %OS% (a^b) !x!.txt' size=5000 kb=2 ;;
# cmd reads Link.bat in the OEM code page: letters outside ASCII, and spaces.
accents) name='café über niño.txt' size=5000 kb=2 ;;
*) echo "unknown case $case_name" >&2; exit 2 ;;
esac

rm -rf "$work"
mkdir -p "$work"
windows() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

source_file=$work/$name
head -c "$size" /dev/urandom >"$source_file"
base=${name%.*}\$${name##*.}
expected=$(( (size + kb * 1024 - 1) / (kb * 1024) ))

"$wine" "$cli" cut --yes --kb "$kb" "$(windows "$source_file")" "$(windows "$work/$base")" >"$work/cut.out" 2>"$work/cut.err" || {
    echo "parvix-cli failed:"; cat "$work/cut.err"; exit 1
}
pieces=$(find "$work" -maxdepth 1 -name "$(printf '%s' "$base" | sed 's/[][*?\\]/\\&/g').[0-9]*" | wc -l)
[ "$pieces" -eq "$expected" ] || { echo "expected $expected pieces, found $pieces"; exit 1; }

mv "$source_file" "$work/source.bin"
lines=$(grep -c $'\r$' "$work/Link.bat")
echo "$pieces pieces, Link.bat of $lines line(s), longest $(awk '{ if (length > m) m = length } END { print m }' "$work/Link.bat") characters"
if [ "$case_name" = thousand ]; then
    [ "$lines" -gt 1 ] || { echo "a Link.bat for $pieces pieces should need more than one line"; exit 1; }
    grep -q '999"+"[^"]*\.1000"' "$work/Link.bat" || { echo "piece .1000 does not follow .999"; exit 1; }
fi

(cd "$work" && "$wine" cmd /c Link.bat >"$work/cmd.out" 2>&1) || { echo "cmd failed:"; cat "$work/cmd.out"; exit 1; }
[ -f "$source_file" ] || { echo "Link.bat did not rebuild $name:"; cat "$work/cmd.out"; ls "$work" | head; exit 1; }
cmp "$work/source.bin" "$source_file"
echo "rebuilt $name byte for byte"
rm -rf "$work"
