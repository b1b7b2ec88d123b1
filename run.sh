#!/bin/bash
# Builds Hushpane when needed and starts it under Wine: on the current X
# display, or on a virtual one started here and named, when there is none.
set -eu
cd "$(dirname "$0")"
./install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target Hushpane >/dev/null

export WINEDEBUG=${WINEDEBUG:--all}
# No offers to download Wine's .NET and HTML engines: Hushpane needs neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

xvfb_pid=
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    for n in $(seq 90 250); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        export DISPLAY=":$n"
        break
    done
    echo "No X display: started a virtual one, DISPLAY=$DISPLAY (screenshot it with: DISPLAY=$DISPLAY import -window root shot.png)"
    trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null' EXIT
fi

echo "Starting Hushpane.exe on display $DISPLAY (Wine prefix ${WINEPREFIX:-$HOME/.wine})"
cd build/win32/bin
set +e
wine Hushpane.exe
status=$?
echo "Hushpane exited with code $status"
exit $status
