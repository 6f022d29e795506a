#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack into a scratch folder and runs lintian on it. Any
# error or warning fails the check; informational and pedantic notes are only shown.
#   check_lintian.sh BUILD_DIR
set -eu
build=$1
command -v lintian >/dev/null || { echo "lintian is not installed (apt-get install lintian)"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
set -- "$out"/kalmora_*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { echo "not one package among:"; ls "$out"; exit 1; }

# lintian warns on stderr when run as root; only its tag lines count.
status=0
lintian --display-info --fail-on error,warning "$1" >"$out/lintian.log" 2>&1 || status=$?
grep -v '^running with root privileges' "$out/lintian.log" || true
if [ $status -ne 0 ] || grep -q '^[EW]: ' "$out/lintian.log"; then
    echo "lintian found errors or warnings in $(basename "$1") (exit status $status)"
    exit 1
fi
echo "$(basename "$1"): no lintian error or warning"
