#!/usr/bin/env bash
# `make install` puts the program, its desktop entry, icons, help page,
# manual page and AppStream metadata under the prefix, and the installed
# program finds its module.
set -euo pipefail
prefix="$SNAPLORN_TESTHOME/prefix"
rm -rf "$prefix"
cmake --install "${SNAPLORN_BUILD_DIR:?}" --prefix "$prefix" >/dev/null
for f in bin/snaplorn share/applications/snaplorn.desktop \
         share/icons/hicolor/scalable/apps/snaplorn.svg share/snaplorn/snhelp.htm \
         share/icons/hicolor/{48x48,64x64,128x128,256x256}/apps/snaplorn.png \
         share/man/man1/snaplorn.1.gz share/metainfo/example.quorvex.snaplorn.metainfo.xml; do
  [[ -s "$prefix/$f" ]] || { echo "FAIL: $f was not installed" >&2; exit 1; }
done
# The installed executable finds its program module under the library folder.
ls "$prefix"/lib*/snaplorn/libsnaplorn-program.so >/dev/null 2>&1 \
  || ls "$prefix"/lib/*/snaplorn/libsnaplorn-program.so >/dev/null 2>&1 \
  || { echo "FAIL: the program module was not installed" >&2; exit 1; }
[[ "$(env -u DISPLAY "$prefix/bin/snaplorn" --version)" == "Snaplorn 3.0" ]] \
  || { echo "FAIL: the installed program does not start" >&2; exit 1; }
# The stand-ins the tests use are not part of the program.
module=$(ls "$prefix"/lib*/snaplorn/libsnaplorn-program.so "$prefix"/lib/*/snaplorn/libsnaplorn-program.so 2>/dev/null | head -1 || true)
if nm -C "$module" | grep -E 'snaplorn::(Fake[A-Za-z]+|ScriptedDialogService)\b' | head -3 | grep .; then
  echo "FAIL: the program module holds test stand-ins" >&2; exit 1
fi
# The entry names the installed executable by its full path (KWin checks it).
grep -qx "Exec=$prefix/bin/snaplorn %f" "$prefix/share/applications/snaplorn.desktop"
grep -qi '<html' "$prefix/share/snaplorn/snhelp.htm"
echo "install layout: ok"
