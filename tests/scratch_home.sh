#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The scratch home the tests run with: HOME and the XDG folders point into it.
#   scratch_home.sh reset HOME   before the tests: empty, with a private runtime folder
#   scratch_home.sh check HOME   after them: no file may have appeared in its configuration
#                                folders (XDG_CONFIG_HOME, or ~/.config without it)
set -eu
home=$2
case $1 in
reset)
    rm -rf "$home"
    mkdir -p "$home"
    mkdir -m 700 "$home/runtime"
    ;;
check)
    found=$(find "$home/config" "$home/.config" -type f 2>/dev/null || true)
    if [ -n "$found" ]; then
        echo "the tests wrote into their home's configuration folder:"
        echo "$found"
        exit 1
    fi
    echo "no file in $home/config or $home/.config"
    ;;
*)
    echo "usage: scratch_home.sh reset|check HOME" >&2
    exit 2
    ;;
esac
