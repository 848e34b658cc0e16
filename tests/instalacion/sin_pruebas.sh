#!/usr/bin/env bash
# The run command's build with none of the test packages in reach: copies the
# checkout (no build folders), configures it with the tests off and GoogleTest,
# Google Benchmark and Qt Test hidden from CMake, builds and installs it, and
# checks that no header of the test packages was compiled in.
# Usage: sin_pruebas.sh [WORK_DIR]   (default build-sin-pruebas/ in the checkout)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
trabajo=${1:-$top/build-sin-pruebas}
rm -rf "$trabajo"
mkdir -p "$trabajo/src"
tar -C "$top" --exclude=./.git --exclude='./build*' -cf - . | tar -C "$trabajo/src" -xf -

BUILD_DIR=$trabajo/build CMAKE_FLAGS="-DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON ${CMAKE_FLAGS:-}" \
  bash "$trabajo/src/scripts/build"
cmake --install "$trabajo/build" --prefix "$trabajo/prefijo" >/dev/null
[ -x "$trabajo/prefijo/bin/folioteca" ] || { echo "no folioteca installed" >&2; exit 1; }

cd "$trabajo/build"
if ctest -N | grep -q 'Test *#'; then
  echo "the build with the tests off still has tests:" >&2
  ctest -N >&2
  exit 1
fi
# Every header the compiler read, against the files of the test packages.
ninja -t deps | awk '/^ +\// { print $1 }' | LC_ALL=C sort -u >leidos.txt
{ dpkg -L libgtest-dev libgmock-dev libbenchmark-dev 2>/dev/null || true; } | LC_ALL=C sort -u >prueba.txt
ajenos=$(LC_ALL=C comm -12 leidos.txt prueba.txt; grep '/QtTest/' leidos.txt || true)
if [ -n "$ajenos" ]; then
  echo "the build without tests read headers of the test packages:" >&2
  echo "$ajenos" >&2
  exit 1
fi
echo "built and installed with the tests off; $(wc -l <leidos.txt) headers read, none from a test package"
