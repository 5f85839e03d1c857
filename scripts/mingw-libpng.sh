#!/usr/bin/env bash
# libpng for the Windows cross-builds. Debian ships no MinGW libpng, so this
# builds Debian's own libpng1.6 source package, static and against the MinGW
# zlib (libz-mingw-w64-dev), for both Windows targets:
#   build/third-party/libpng-i686/     (lib/libpng16.a, include/)
#   build/third-party/libpng-x86_64/
# Part of `./setup.sh deps`: it enables Debian's source archive once (a
# deb-src list beside the system's) and unpacks the source into
# build/third-party. Does nothing when both builds are there.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
dir=build/third-party
targets=(i686 x86_64)

done_already=1
for t in "${targets[@]}"; do [ -f "$dir/libpng-$t/lib/libpng16.a" ] || done_already=0; done
((done_already)) && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
mkdir -p "$dir"
if ! compgen -G "$dir/libpng1.6-*/png.c" >/dev/null; then
  if ! apt-cache showsrc libpng1.6 2>/dev/null | grep -q '^Package:'; then
    list=/etc/apt/sources.list.d/kestrune-deb-src.sources
    suite=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-bookworm}")
    printf '%s\n' "# Debian's source packages (libpng for Kestrune's Windows builds); added by Kestrune's setup.sh." \
      "Types: deb-src" "URIs: http://deb.debian.org/debian" "Suites: ${suite}" "Components: main" \
      "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" | $sudo tee "$list" >/dev/null
    $sudo apt-get update -qq
  fi
  (cd "$dir" && apt-get source -qq libpng1.6 >/dev/null)
fi
source=$(compgen -G "$dir/libpng1.6-*/png.c" | head -n 1)
source=$(dirname "$source")

for t in "${targets[@]}"; do
  prefix=$root/$dir/libpng-$t
  [ -f "$prefix/lib/libpng16.a" ] && continue
  echo "== libpng for $t-w64-mingw32" >&2
  cmake -S "$source" -B "$dir/libpng-build-$t" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$t.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
    -DZLIB_LIBRARY="/usr/$t-w64-mingw32/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$t-w64-mingw32/include" >/dev/null
  cmake --build "$dir/libpng-build-$t" --target install >/dev/null
done
