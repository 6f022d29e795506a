#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch root, as the package does, and starts the installed
# program the way the desktop's menu does, by the Exec line of its desktop entry, without
# a display. The program must reach its idle event loop and then end only by the signal
# that stops it.
#   check_install.sh BUILD_DIR APP_ID
set -eu
build=$1
app=$2
root=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true; rm -rf "$root"' EXIT

DESTDIR=$root cmake --install "$build" --prefix /usr >"$root/install.log"

for file in bin/kalmora share/applications/$app.desktop share/metainfo/$app.metainfo.xml \
    share/icons/hicolor/48x48/apps/$app.png share/icons/hicolor/128x128/apps/$app.png \
    share/icons/hicolor/256x256/apps/$app.png share/doc/kalmora/copyright \
    share/doc/kalmora/changelog.Debian.gz share/man/man1/kalmora.1.gz; do
    [ -f "$root/usr/$file" ] || { echo "not installed: /usr/$file"; exit 1; }
done
[ -x "$root/usr/bin/kalmora" ] || { echo "/usr/bin/kalmora is not executable"; exit 1; }

# The icon theme finds an icon by its folder, so each picture must be the folder's size.
for size in 48 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x$size/apps/$app.png
    hi=$((size / 256))
    lo=$((size % 256))
    found=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ' | sed 's/^ //; s/ $//')
    [ "$found" = "0 0 $hi $lo 0 0 $hi $lo" ] || { echo "$icon: not ${size}x$size"; exit 1; }
done

command=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$app.desktop")
PATH=$root/usr/bin:$PATH QT_QPA_PLATFORM=offscreen $command >"$root/out.log" 2>&1 &
pid=$!

# Up means the main thread sleeps in the event loop's poll; where the kernel hides that
# (wchan reads 0), a second of uninterrupted sleep stands in for it. At most 60 s.
up=false
asleep=0
tries=0
while [ $tries -lt 1200 ]; do
    tries=$((tries + 1))
    kill -0 "$pid" 2>/dev/null || break
    case $(cat "/proc/$pid/wchan" 2>/dev/null || echo 0) in
    *poll*) up=true; break ;;
    esac
    if [ "$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null)" = S ]; then
        asleep=$((asleep + 1))
        [ $asleep -lt 20 ] || { up=true; break; }
    else
        asleep=0
    fi
    sleep 0.05
done

if ! $up; then
    echo "the installed program did not reach its event loop:"
    kill -KILL "$pid" 2>/dev/null || true
    status=0
    wait "$pid" || status=$?
    pid=
    echo "exit status $status"
    cat "$root/out.log"
    exit 1
fi

kill -TERM "$pid"
status=0
wait "$pid" 2>/dev/null || status=$?
pid=
if [ $status -ne 143 ]; then
    echo "the installed program ended with status $status instead of by SIGTERM (143):"
    cat "$root/out.log"
    exit 1
fi
echo "installed program started from /usr/bin and ran until stopped"
