#!/bin/bash
# Builds Hushpane when needed and starts it under Wine: on the current X
# display, or on a virtual one started here and named, when there is none.
set -eu
cd "$(dirname "$0")"
./install-deps.sh

# Where 32-bit Linux programs cannot run, neither can 32-bit Wine: the same
# sources built for x86-64 run under wine64 instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    preset=win32 targets="Hushpane hushpane_64bit" wine=wine
else
    preset=x64 targets=Hushpane wine=/usr/lib/wine/wine64
    echo "This machine cannot run 32-bit Linux programs: starting the x86-64 build under wine64."
fi
cmake --preset $preset >/dev/null
# shellcheck disable=SC2086
cmake --build --preset $preset --target $targets >/dev/null

export WINEDEBUG=${WINEDEBUG:--all}
# No offers to download Wine's .NET and HTML engines: Hushpane needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

xvfb_pid=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    . tests/wine/virtual_display.sh
    start_virtual_display /dev/null
    xvfb_pid=$VIRTUAL_DISPLAY_PID
    export DISPLAY
    echo "No X display: started a virtual one, DISPLAY=$DISPLAY (screenshot it with: DISPLAY=$DISPLAY import -window root shot.png)"
    trap 'kill "$xvfb_pid" 2>/dev/null' EXIT
fi

echo "Starting Hushpane.exe on display $DISPLAY (Wine prefix ${WINEPREFIX:-$HOME/.wine})"
cd build/$preset/bin
set +e
$wine Hushpane.exe
status=$?
echo "Hushpane exited with code $status"
exit $status
