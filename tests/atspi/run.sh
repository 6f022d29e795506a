#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the program through the desktop accessibility interface, as a screen reader
# meets it: a virtual X display, a private D-Bus session, the accessibility bus and
# its registry, and a pyatspi client that reads and drives the program.
#
#   tests/atspi/run.sh PROGRAM [check_a11y.py options...]
#
# Prints the measured figures, then the failures. Exits 0 when every requirement holds,
# 1 when some do not, 2 when the program could not be examined, 77 when a tool is missing
# (CTest's skip code) and 124 when the run exceeds A11Y_TIMEOUT.
#
# SCREEN=WxH sets the virtual screen (default 1600x1000); A11Y_TIMEOUT bounds the whole
# run in seconds (default 600); A11Y_DEBUG=1 prints progress; A11Y_TRACE=1 traces this
# script; A11Y_SCRIPT runs another pyatspi script in the same surroundings, with the same
# arguments (for experiments). Nothing outside a scratch folder is written: the runtime,
# cache and configuration folders and the settings backend are private, and every
# process started here is ended by its id on exit.
set -euo pipefail
[ -n "${A11Y_TRACE:-}" ] && set -x

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
python=/usr/bin/python3

# Everything this script starts is recorded here and ended by its id on exit.
note_pid() { echo "$1" >>"$A11Y_PIDS"; }

end_recorded_processes() {
    [ -f "${A11Y_PIDS:-}" ] || return 0
    local pid
    while read -r pid; do kill "$pid" 2>/dev/null || true; done <"$A11Y_PIDS"
    for _ in $(seq 50); do
        local alive=0
        while read -r pid; do kill -0 "$pid" 2>/dev/null && alive=1; done <"$A11Y_PIDS"
        [ $alive = 0 ] && return 0
        sleep 0.1
    done
    while read -r pid; do kill -KILL "$pid" 2>/dev/null || true; done <"$A11Y_PIDS"
}

# Polls "$@" every 50 ms for at most $1 seconds.
poll() {
    local seconds=$1
    shift
    local tries=$((seconds * 20))
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}

a11y_bus_owned() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true
}

# Inside the private session: the accessibility bus, its registry, then the checker.
inside_session() {
    local launcher
    launcher=$(find_launcher)
    "$launcher" --launch-immediately --a11y=1 >/dev/null 2>&1 &
    local launcher_pid=$!
    note_pid $launcher_pid
    # The launcher is started here rather than by D-Bus activation, so that its id is
    # known; asking for the address before it owns its name would start a second one.
    poll 10 a11y_bus_owned || { echo "at-spi-bus-launcher did not start" >&2; return 1; }
    local address
    address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress)
    address=$(echo $address)
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
        variant:boolean:true >/dev/null
    xprop -root -f AT_SPI_BUS 8s -set AT_SPI_BUS "$address"

    local bus_pid
    bus_pid=$(ps -o pid= --ppid "$launcher_pid" | tr -d ' ' | head -1) || true
    [ -n "$bus_pid" ] && note_pid "$bus_pid"
    # Starts the registry now, to know its id; it leaves its parent and must be ended.
    dbus-send --bus="$address" --print-reply --dest=org.a11y.atspi.Registry \
        /org/a11y/atspi/accessible/root org.freedesktop.DBus.Peer.Ping >/dev/null
    local registry_pid
    registry_pid=$(dbus-send --bus="$address" --print-reply=literal --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.a11y.atspi.Registry |
        awk '{print $NF}')
    note_pid "$registry_pid"

    local status=0
    A11Y_BUS_ADDRESS=$address A11Y_BUS_PID=$bus_pid \
        "$python" "${A11Y_SCRIPT:-$here/check_a11y.py}" "$@" || status=$?
    end_recorded_processes
    return $status
}

find_launcher() {
    local p
    for p in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
        [ -x "$p" ] && { echo "$p"; return 0; }
    done
    return 1
}

missing_tools() {
    local tool missing=""
    for tool in Xvfb dbus-run-session dbus-send xprop xdotool; do
        command -v "$tool" >/dev/null || missing="$missing $tool"
    done
    find_launcher >/dev/null || missing="$missing at-spi-bus-launcher"
    "$python" -c 'import pyatspi' 2>/dev/null || missing="$missing python3-pyatspi"
    echo "$missing"
}

if [ "${1-}" = --inside-session ]; then
    shift
    inside_session "$@"
    exit
fi

program=${1:?usage: tests/atspi/run.sh PROGRAM [check_a11y.py options...]}
shift
[ -x "$program" ] || { echo "not an executable: $program" >&2; exit 2; }
missing=$(missing_tools)
if [ -n "$missing" ]; then
    echo "SKIP: missing$missing (apt-get install xvfb dbus-x11 x11-utils xdotool at-spi2-core python3-pyatspi)" >&2
    exit 77
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/kalmora-atspi.XXXXXX")
export A11Y_PIDS=$scratch/pids
: >"$A11Y_PIDS"
cleanup() {
    end_recorded_processes
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR=$scratch/runtime XDG_CACHE_HOME=$scratch/cache
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export GSETTINGS_BACKEND=memory
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS NO_AT_BRIDGE QT_ACCESSIBILITY WAYLAND_DISPLAY

# -noreset: without it the server forgets the root window's properties, among them
# the accessibility bus address, whenever its last client goes away.
Xvfb -displayfd 3 -screen 0 "${SCREEN:-1600x1000}x24" -nolisten tcp -noreset \
    3>"$scratch/display" >"$scratch/xvfb.log" 2>&1 &
note_pid $!
display_ready() { [ -s "$scratch/display" ]; }
poll 10 display_ready || { echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(tr -d '\n' <"$scratch/display")
export A11Y_SCREENSHOTS=${A11Y_SCREENSHOTS:-}

status=0
timeout --kill-after=10 "${A11Y_TIMEOUT:-600}" \
    dbus-run-session -- "$0" --inside-session --program "$program" "$@" || status=$?
[ $status = 124 ] && echo "FAIL: the accessibility check did not finish in ${A11Y_TIMEOUT:-600} s" >&2
exit $status
