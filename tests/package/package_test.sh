#!/bin/bash
# The Debian package as `make package` builds it: its name, control fields
# and files, lintian's verdict, and the program unpacked from it, started
# from an empty folder, on the beach the package brings.
# Usage (inside xvfb-run): package_test.sh BUILD_DIR VERSION BEACH_JPG
set -u
BUILD_DIR=$(readlink -f "$1")
VERSION=$2
BEACH=$(readlink -f "$3")
source "$(dirname "$0")/../ui/gui_driver.sh"
source "$(dirname "$0")/beach_window.sh"
make_workspace

cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$WORK/package" > "$WORK/cpack.log" 2>&1 \
    || { cat "$WORK/cpack.log"; echo "FAILED: cpack"; exit 1; }
DEB=$WORK/package/marvanto_${VERSION}_$(dpkg --print-architecture).deb
[ -f "$DEB" ] || { ls "$WORK/package"; echo "FAILED: no $(basename "$DEB")"; exit 1; }
echo "$(basename "$DEB"): $(stat -c %s "$DEB") bytes"

# --- Control fields ---
field() { dpkg-deb -f "$DEB" "$1"; }
check "version $VERSION" [ "$(field Version)" = "$VERSION" ]
check "section games" [ "$(field Section)" = games ]
check "shared libraries found by dpkg-shlibdeps" grep -q "libfox-1.6-0" <<< "$(field Depends)"
check "a maintainer" [ -n "$(field Maintainer)" ]
check "a short and a long description" [ "$(field Description | wc -l)" -gt 2 ]

# --- Files ---
dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {print $6}' | sort > "$WORK/contents"
for file in usr/games/marvanto usr/share/applications/org.example.marvanto.desktop \
    usr/share/metainfo/org.example.marvanto.metainfo.xml usr/share/man/man6/marvanto.6.gz \
    usr/share/doc/marvanto/copyright usr/share/marvanto/backgrounds/maracas-beach1.jpg \
    usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/marvanto.png; do
    check "$file in the package" grep -qx "./$file" "$WORK/contents"
done
dpkg-deb -x "$DEB" "$WORK/root"
check "man page of version $VERSION" grep -q "Marvanto $VERSION" <(zcat "$WORK/root/usr/share/man/man6/marvanto.6.gz")
for size in 16 32 48 64 128 256; do
    check "icon of $size pixels" [ "$("$CONVERT" "$WORK/root/usr/share/icons/hicolor/${size}x$size/apps/marvanto.png" -format %wx%h info:)" = "${size}x$size" ]
done

# --- make install: the same files, under DESTDIR and the prefix ---
DESTDIR=$WORK/staged cmake --install "$BUILD_DIR" --prefix /opt/marvanto > /dev/null
(cd "$WORK/staged" && find . -type f | sort) > "$WORK/installed"
check "make install keeps to DESTDIR and the prefix" [ -z "$(grep -v '^\./opt/marvanto/' "$WORK/installed")" ]
check "make install installs the package's files" diff <(sed 's#^\./opt/marvanto/#./usr/#' "$WORK/installed") "$WORK/contents"

# --- lintian: no errors; warnings are shown ---
lintian --fail-on error --tag-display-limit 0 "$DEB" > "$WORK/lintian.log" 2>&1
check "lintian finds no errors" [ $? -eq 0 ]
cat "$WORK/lintian.log"

# --- The unpacked program, from an empty folder ---
MARVANTO=$WORK/root/usr/games/marvanto
check_beach_window "$BEACH"

# A default picture in the working directory comes before the installed one.
mkdir -p backgrounds
"$CONVERT" -size 640x480 xc:'rgb(200,40,40)' -quality 95 backgrounds/maracas-beach1.jpg
start_program
shoot own
check "the working directory's picture first" near "$(pixel "$WORK/own.png" 20 32)" "200 40 40" 6
keys_to "$WIN" ctrl+q
check "Ctrl+Q ends it again" exits_cleanly
# A stored choice wins over both.
mkdir -p "$(dirname "$REGISTRY")"
printf '[Display]\nBackground=solid\n' > "$REGISTRY"
start_program
shoot solid
check "a stored \"solid\" gives the cloth" near "$(pixel "$WORK/solid.png" 20 32)" "0 120 50" 0
keys_to "$WIN" ctrl+q
check "and Ctrl+Q ends it" exits_cleanly

summary
