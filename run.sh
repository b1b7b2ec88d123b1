#!/bin/bash
# Builds Hushpane when needed and starts it under Wine: on the current X
# display, or on a virtual one started here and named, when there is none.
set -eu
cd "$(dirname "$0")"
./install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Hushpane hushpane_64bit >/dev/null

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
cd build/win32/bin
set +e
wine Hushpane.exe
status=$?
echo "Hushpane exited with code $status"
exit $status
