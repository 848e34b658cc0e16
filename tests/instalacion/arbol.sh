#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the tree: exactly the
# expected files, and each icon the nearest-neighbour enlargement of the
# picture it comes from. Usage: arbol.sh BUILD_DIR ROOT ICON_DIR
set -euo pipefail
build=$1 raiz=$2 iconos=$3
rm -rf "$raiz"
cmake --install "$build" --prefix "$raiz" >/dev/null

esperado="bin/folioteca
share/applications/org.folioteca.folioteca.desktop
share/doc/folioteca/changelog.gz
share/doc/folioteca/copyright
share/icons/hicolor/128x128/apps/folioteca.png
share/icons/hicolor/16x16/apps/folioteca.png
share/icons/hicolor/256x256/apps/folioteca.png
share/icons/hicolor/32x32/apps/folioteca.png
share/icons/hicolor/48x48/apps/folioteca.png
share/icons/hicolor/64x64/apps/folioteca.png
share/man/man1/folioteca.1.gz
share/metainfo/org.folioteca.folioteca.metainfo.xml"
hay=$(cd "$raiz" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
if [ "$hay" != "$esperado" ]; then
  echo "installed tree differs from the expected one:" >&2
  diff <(echo "$esperado") <(echo "$hay") >&2 || true
  exit 1
fi
[ -x "$raiz/bin/folioteca" ] || { echo "bin/folioteca is not executable" >&2; exit 1; }

# ImageMagick's -sample is nearest-neighbour too: the two must agree on
# every pixel (AE counts the pixels that differ).
fallos=0
muestra=$(mktemp --suffix=.png)
trap 'rm -f "$muestra"' EXIT
for par in 16:16 32:32 48:16 64:32 128:32 256:32; do
  lado=${par%:*} origen=${par#*:}
  png=$raiz/share/icons/hicolor/${lado}x${lado}/apps/folioteca.png
  convert "$iconos/programa$origen.xpm" -sample "${lado}x${lado}" "$muestra"
  distintos=$(compare -metric AE "$muestra" "$png" null: 2>&1) || true
  if [ "$distintos" != 0 ]; then
    echo "icon ${lado}x${lado}: $distintos pixels differ from programa$origen.xpm scaled by nearest neighbour" >&2
    fallos=1
  fi
done
exit $fallos
