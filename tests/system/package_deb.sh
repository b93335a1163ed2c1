#!/usr/bin/env bash
# `make package`: the Debian package passes the desktop's and Debian's own
# checks, installs into an empty root, and the program installed there starts,
# captures the screen (the quick path and the program module) and has a manual
# page that renders.
set -euo pipefail
build=${SNAPLORN_BUILD_DIR:?}
work="$SNAPLORN_TESTHOME/package"
root="$work/root"
rm -rf "$work"
mkdir -p "$work" "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
: > "$root/var/lib/dpkg/status"
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out") > "$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }
deb=$(ls "$work"/out/snaplorn_*.deb)
[[ "$(basename "$deb")" == "snaplorn_3.0_$(dpkg --print-architecture).deb" ]] \
  || fail "unexpected package name $(basename "$deb")"

# Run-time libraries come from dpkg-shlibdeps, the tools it calls are named.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libturbojpeg0 libxcb1 libc6 xdg-utils; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[[ "$recommends" == *cups-client* && "$recommends" == *mail-transport-agent* ]] \
  || fail "Recommends: $recommends"

dpkg --root="$root" --force-depends --force-not-root -i "$deb" > "$work/dpkg.log" 2>&1 \
  || { cat "$work/dpkg.log" >&2; fail "the package does not install into an empty root"; }
[[ ! -e "$root/var/lib/dpkg/info/snaplorn.postinst" ]] || fail "the package runs a script to install"
for f in usr/bin/snaplorn usr/lib/*/snaplorn/libsnaplorn-program.so \
         usr/share/applications/snaplorn.desktop usr/share/snaplorn/snhelp.htm \
         usr/share/icons/hicolor/scalable/apps/snaplorn.svg \
         usr/share/metainfo/example.quorvex.snaplorn.metainfo.xml \
         usr/share/man/man1/snaplorn.1.gz usr/share/doc/snaplorn/copyright; do
  [[ -s $(echo "$root"/$f) ]] || fail "$f is not in the package"
done
for size in 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x$size/apps/snaplorn.png"
  [[ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" == "${size}x$size" ]] \
    || fail "no ${size}x$size icon"
done

grep -qx 'Exec=/usr/bin/snaplorn %f' "$root/usr/share/applications/snaplorn.desktop" \
  || fail "the desktop entry does not name /usr/bin/snaplorn"
desktop-file-validate "$root/usr/share/applications/snaplorn.desktop" \
  | { grep -v ': hint: ' || true; } | grep . && fail "the desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.quorvex.snaplorn.metainfo.xml" \
  > "$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "AppStream metadata"; }

# Debian's own checks: warnings are printed, errors fail.
lintian --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1 || true
grep -v 'running with root privileges' "$work/lintian.log" | sed 's/^/lintian: /' || true
grep -q '^E: ' "$work/lintian.log" && fail "lintian reports errors"

# The manual page renders without complaints and has its sections.
man --warnings -l "$root/usr/share/man/man1/snaplorn.1.gz" > "$work/man.txt" 2> "$work/man.err" \
  || fail "man -l failed"
[[ ! -s "$work/man.err" ]] || { cat "$work/man.err" >&2; fail "the manual page has faults"; }
for section in SYNOPSIS OPTIONS "EXIT STATUS" ENVIRONMENT FILES; do
  grep -q "^$section" "$work/man.txt" || fail "the manual page lacks $section"
done

# The installed program, from the empty root.
program="$root/usr/bin/snaplorn"
[[ "$("$program" --version)" == "Snaplorn 3.0" ]] || fail "--version"
screen=$(xdpyinfo | awk '/dimensions:/ { print $2 }')
for picture in shot.jpg shot.bmp; do # the JPEG takes the quick path, the BMP the module
  "$program" --capture desktop --output "$work/$picture" > "$work/capture.log" 2>&1 \
    || { cat "$work/capture.log" >&2; fail "--capture to $picture"; }
  [[ "$(identify -format '%wx%h' "$work/$picture")" == "$screen" ]] || fail "$picture size"
done
echo "package: ok ($(basename "$deb"), $(grep -c '^W: ' "$work/lintian.log") lintian warnings)"
