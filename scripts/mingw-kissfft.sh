#!/usr/bin/env bash
# kissfft for the Windows cross-builds. Debian ships no MinGW kissfft, so this
# builds Debian's own kissfft source package, static and in float, for both
# Windows targets:
#   build/third-party/kissfft-i686/     (lib/libkissfft-float.a, include/kissfft/)
#   build/third-party/kissfft-x86_64/
# Part of `./setup.sh deps`, beside scripts/mingw-libpng.sh (which enables
# Debian's source archive when it is missing). Does nothing when both builds
# are there.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
dir=build/third-party
targets=(i686 x86_64)

done_already=1
for t in "${targets[@]}"; do [ -f "$dir/kissfft-$t/lib/libkissfft-float.a" ] || done_already=0; done
((done_already)) && exit 0

mkdir -p "$dir"
if ! compgen -G "$dir/kissfft-1*/kiss_fft.c" >/dev/null; then
  if ! apt-cache showsrc kissfft 2>/dev/null | grep -q '^Package:'; then
    echo "kissfft: Debian's source archive is not enabled; run scripts/mingw-libpng.sh first" >&2
    exit 1
  fi
  (cd "$dir" && apt-get source -qq kissfft >/dev/null)
fi
source=$(compgen -G "$dir/kissfft-1*/kiss_fft.c" | head -n 1)
source=$(dirname "$source")

for t in "${targets[@]}"; do
  prefix=$root/$dir/kissfft-$t
  [ -f "$prefix/lib/libkissfft-float.a" ] && continue
  echo "== kissfft for $t-w64-mingw32" >&2
  cmake -S "$source" -B "$dir/kissfft-build-$t" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$t.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DCMAKE_INSTALL_INCLUDEDIR=include -DCMAKE_INSTALL_BINDIR=bin \
    -DKISSFFT_DATATYPE=float -DKISSFFT_STATIC=ON -DKISSFFT_OPENMP=OFF \
    -DKISSFFT_TEST=OFF -DKISSFFT_TOOLS=OFF -DKISSFFT_PKGCONFIG=OFF >/dev/null
  cmake --build "$dir/kissfft-build-$t" --target install >/dev/null
done
