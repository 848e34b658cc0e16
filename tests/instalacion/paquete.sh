#!/usr/bin/env bash
# Builds the Debian package with CPack into OUT_DIR and checks it with lintian:
# any error or warning fails. Usage: paquete.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$1 salida=$2
rm -rf "$salida"
mkdir -p "$salida"
(cd "$build" && cpack -G DEB -B "$salida" >"$salida/cpack.log") ||
  { cat "$salida/cpack.log" >&2; exit 1; }
deb=$salida/folioteca_$(dpkg-deb -f "$salida"/*.deb Version)_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "no package named $deb:" "$salida"/*.deb >&2; exit 1; }
dpkg-deb --info "$deb" | grep -E '^ (Package|Version|Architecture|Depends):'
# The libraries come from the binary, the fonts from the layouts.
depende=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libc6 fonts-liberation fonts-dejavu-core; do
  [[ ", $depende," == *", $p"[\ ,]* ]] || { echo "Depends lacks $p: $depende" >&2; exit 1; }
done
echo "size: $(stat -c %s "$deb") bytes"
lintian --fail-on error,warning --display-info "$deb"
