#!/usr/bin/env bash
# Builds GF-Complete as a static library for 64-bit Windows (MinGW-w64) from Debian's source of the installed
# libgf-complete-dev, with the processor-specific code that Debian's own build has, chosen at run time.
# Built once per version and recipe into a cache outside the tree ($PARVIX_GF_COMPLETE_CACHE, else
# ~/.cache/parvix), reused when there. Prints the prefix (include/, lib/) on its last line of output.
set -euo pipefail
# Read whole before it runs, like qt-windows.sh.
{
cd "$(dirname "$0")/.."

source=$(dpkg-query -W -f='${source:Package}=${source:Version}' libgf-complete-dev)
cache=${PARVIX_GF_COMPLETE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parvix}
cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-ar

# The upstream flags. SIMD code is compiled in and picked by the processor's features when the field is set
# up; gf_method.c, which compares strings, is built without it as upstream does. MinGW has no bzero.
flags=(-O3 -Wall -include string.h "-Dbzero(d,n)=memset((d),0,(n))")
simd=(-msse2 -DINTEL_SSE2 -msse3 -DINTEL_SSE3 -mssse3 -DINTEL_SSSE3 -msse4.1 -msse4.2 -DINTEL_SSE4 -mpclmul
    -DINTEL_SSE4_PCLMUL)
sources=(gf gf_wgen gf_w4 gf_w8 gf_w16 gf_w32 gf_w64 gf_w128 gf_rand gf_general gf_cpu)
recipe=$(printf '%s\n' "${flags[@]}" "${simd[@]}" "${sources[@]}" | sha256sum | cut -c1-8)
prefix=$cache/gf-complete-${source#*=}-mingw64-$recipe

if [ -f "$prefix/lib/libgf_complete.a" ]; then
    echo "$prefix"
    exit 0
fi
mkdir -p "$cache"
exec 9>"$cache/.gf-complete-build.lock"
flock 9
if [ -f "$prefix/lib/libgf_complete.a" ]; then
    echo "$prefix"
    exit 0
fi
rm -rf "$cache"/.gf-complete-build.*/
scripts/deb-src.sh

# Built in a scratch folder and moved into place in one rename, as Qt is.
work=$(mktemp -d "$cache/.gf-complete-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
log=$work/build.log
run() {
    if ! "$@" >>"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "gf-complete-windows.sh: failed: $*" >&2
        exit 1
    fi
}
echo "Building GF-Complete ${source#*=} for Windows into $prefix" >&2
(cd "$work" && run apt-get source --download-only "$source" && run dpkg-source -x "${source%%=*}"_*.dsc src)
mkdir -p "$work/obj" "$work/install/lib" "$work/install/include"
for name in "${sources[@]}"; do
    run "$cc" "${flags[@]}" "${simd[@]}" -I"$work/src/include" -c "$work/src/src/$name.c" -o "$work/obj/$name.o"
done
run "$cc" "${flags[@]}" -I"$work/src/include" -c "$work/src/src/gf_method.c" -o "$work/obj/gf_method.o"
run "$ar" rcs "$work/install/lib/libgf_complete.a" "$work"/obj/*.o
cp "$work/src/include/gf_complete.h" "$work/install/include/"
cp "$work/src/COPYING" "$work/install/" 2>/dev/null || true
mv -T "$work/install" "$prefix"
# Builds for another version or recipe are no longer used.
for old in "$cache"/gf-complete-*-mingw64-*; do
    [ "$old" = "$prefix" ] || rm -rf "$old"
done
echo "$prefix"
exit
}
