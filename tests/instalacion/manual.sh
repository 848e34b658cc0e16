#!/usr/bin/env bash
# Formats the manual page as lintian does and fails on any warning from man
# or groff. Usage: manual.sh PAGE
set -euo pipefail
avisos=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
  man --warnings -E UTF-8 -l -Tutf8 -Z "$1" 2>&1 >/dev/null)
if [ -n "$avisos" ]; then
  echo "$avisos" >&2
  exit 1
fi
# The NAME line is what apropos and whatis show.
lexgrog "$1" | grep -q 'folioteca - catálogo de fichas de libros' ||
  { echo "NAME section not understood: $(lexgrog "$1")" >&2; exit 1; }
