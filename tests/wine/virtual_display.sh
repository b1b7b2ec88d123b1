# Starting Xvfb on a free display number, which it picks and takes itself (no
# race with another run's); sourced by the test session and by run.sh.
#   start_virtual_display LOGFILE   sets DISPLAY and VIRTUAL_DISPLAY_PID, or fails
start_virtual_display() {
    local ready n=
    ready=$(mktemp -u) && mkfifo "$ready" || return 1
    # The number comes on descriptor 3 once it takes connections.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac </dev/null >"$1" 2>&1 3>"$ready" &
    VIRTUAL_DISPLAY_PID=$!
    read -r -t 10 n <"$ready" || n=
    rm -f "$ready"
    [ -n "$n" ] && DISPLAY=":$n" && return 0
    kill "$VIRTUAL_DISPLAY_PID" 2>/dev/null || true
    echo "Xvfb did not start (see $1)" >&2
    return 1
}
