#!/usr/bin/env bash
# Checks what ./setup.sh would install on a machine that has nothing: the
# demo job only what the release build and the render need (no cross-compiler,
# Wine, clang or Ardour), the test job those too. dpkg-query is replaced by a
# stub that knows no package, and the job only lists what it would install.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
stub=$(mktemp -d)
trap 'rm -rf "$stub"' EXIT
printf '#!/bin/sh\nexit 1\n' >"$stub/dpkg-query"
chmod +x "$stub/dpkg-query"

list() { PATH="$stub:$PATH" KR_SETUP_LIST_ONLY=1 "$top/setup.sh" "$1"; }
demo=$(list demo)
tests=$(list test)

fail=0
for needed in cmake g++ libpng-dev; do
  grep -qx "$needed" <<<"$demo" || { echo "FAIL: the demo does not install $needed"; fail=1; }
done
for heavy in g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine64 clang ardour xvfb libgtest-dev; do
  if grep -qx "$heavy" <<<"$demo"; then echo "FAIL: the demo installs $heavy"; fail=1; fi
  grep -qx "$heavy" <<<"$tests" || { echo "FAIL: the tests do not install $heavy"; fail=1; }
done
[ "$fail" = 0 ] && echo "ok: the demo installs $(wc -l <<<"$demo") packages, the tests $(wc -l <<<"$tests")"
exit "$fail"
