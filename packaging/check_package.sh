#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack into a scratch folder and checks its name, its
# file list and that its dependencies were found by dpkg-shlibdeps.
#   check_package.sh BUILD_DIR APP_ID DEBIAN_VERSION (such as 0.3-1~deb12)
set -eu
build=$1
app=$2
version=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
deb=$out/kalmora_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "no $(basename "$deb") among:"; ls "$out"; exit 1; }

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$out/files"
for file in bin/kalmora share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
    share/icons/hicolor/48x48/apps/$app.png share/icons/hicolor/128x128/apps/$app.png \
    share/icons/hicolor/256x256/apps/$app.png share/doc/kalmora/copyright \
    share/doc/kalmora/changelog.Debian.gz share/man/man1/kalmora.1.gz; do
    grep -qx "\./usr/$file" "$out/files" || { echo "not in the package: /usr/$file"; exit 1; }
done

depends=$(dpkg-deb -f "$deb" Depends)
case $depends in
*libc6*libqt[56]widgets* | *libqt[56]widgets*libc6*) ;;
*) echo "dependencies not found by dpkg-shlibdeps: '$depends'"; exit 1 ;;
esac
echo "$(basename "$deb"): Depends: $depends"
