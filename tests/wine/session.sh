#!/bin/bash
# The private X display and Wine prefix that the Windows-side tests of one run share.
#   session.sh start DIR          start Xvfb on a free display and a prefix in DIR/prefix
#   session.sh stop DIR           end what start began (by pid) and this prefix's wineserver
#   session.sh run DIR CMD...     run CMD with DISPLAY, WINEPREFIX and the Wine settings
#   session.sh wine DIR PROG...   run a Windows program under that session's Wine
set -eu

cmd=${1:?usage: session.sh start|stop|run|wine DIR ...}
dir=${2:?session directory}
shift 2
dir=$(mkdir -p "$dir" && cd "$dir" && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$dir/prefix"
# A new prefix is 32-bit unless the run asks for a 64-bit one.
export WINEARCH=${HUSHPANE_WINEARCH:-win32}

case "$cmd" in
start)
    # shellcheck disable=SC1091
    . "$(dirname "$0")/virtual_display.sh"
    [ -f "$dir/xvfb.pid" ] && "$0" stop "$dir"
    start_virtual_display "$dir/xvfb.log"
    echo "$VIRTUAL_DISPLAY_PID" >"$dir/xvfb.pid"
    export DISPLAY
    # Later commands use the prefix's own architecture, whatever they are asked.
    printf 'DISPLAY=%s\nWINEARCH=%s\n' "$DISPLAY" "$WINEARCH" >"$dir/env"
    # The prefix survives between runs of the same build tree; boot it when new.
    # One persistent wineserver for the whole run, so each test pays no start-up,
    # and the prefix's system processes (services, the desktop) start now, with
    # their output away from ctest's pipe, which they would otherwise hold open.
    # The first program of a session boots the prefix by itself (and creates
    # it when new); an explicit "wineboot -i" on top boots it a second time and
    # leaves two service managers answering the same requests.
    boot() { wineserver -p </dev/null >"$dir/wineserver.log" 2>&1; wine cmd.exe /c exit </dev/null >"$dir/wineboot.log" 2>&1; }
    mkdir -p "$WINEPREFIX" "$dir/network" && boot
    # A new prefix: N: is a network drive for the tests (which may point it
    # elsewhere), and a crashed program ends instead of waiting in winedbg's
    # dialog until its test times out. Wine learns drive types as it starts,
    # so the prefix starts again.
    [ -L "$WINEPREFIX/dosdevices/n:" ] || { ln -s "$dir/network" "$WINEPREFIX/dosdevices/n:" &&
        wine reg add 'HKLM\Software\Wine\Drives' /v n: /d network /f </dev/null >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 &&
        wineserver -k; wineserver -w; boot; }
    echo "Wine session on display $DISPLAY, prefix $WINEPREFIX"
    ;;
stop)
    wineserver -k 2>/dev/null || true
    if [ -f "$dir/xvfb.pid" ]; then
        pid=$(cat "$dir/xvfb.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        rm -f "$dir/xvfb.pid"
    fi
    rm -f "$dir/env"
    ;;
run | wine)   # "wine PROG..." is "run wine PROG..."
    [ -f "$dir/env" ] || { echo "no Wine session in $dir (was the start fixture run?)" >&2; exit 1; }
    # shellcheck disable=SC1091
    . "$dir/env"
    export DISPLAY WINEARCH
    [ "$cmd" = run ] || set -- wine "$@"
    exec "$@"
    ;;
*)
    echo "unknown command $cmd" >&2
    exit 2
    ;;
esac
