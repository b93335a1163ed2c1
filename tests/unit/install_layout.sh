#!/usr/bin/env bash
# `make install` puts the program, its desktop entry, icon and help page
# under the prefix, and the installed program finds its help page.
set -euo pipefail
prefix="$SNAPLORN_TESTHOME/prefix"
rm -rf "$prefix"
cmake --install "${SNAPLORN_BUILD_DIR:?}" --prefix "$prefix" >/dev/null
for f in bin/snaplorn share/applications/snaplorn.desktop \
         share/icons/hicolor/scalable/apps/snaplorn.svg share/snaplorn/snhelp.htm; do
  [[ -s "$prefix/$f" ]] || { echo "FAIL: $f was not installed" >&2; exit 1; }
done
grep -q '^Exec=snaplorn' "$prefix/share/applications/snaplorn.desktop"
grep -qi '<html' "$prefix/share/snaplorn/snhelp.htm"
echo "install layout: ok"
