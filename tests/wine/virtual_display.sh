# Starting Xvfb on a free display number; sourced by the test session and by run.sh.
#   start_virtual_display LOGFILE   sets DISPLAY and VIRTUAL_DISPLAY_PID, or fails
start_virtual_display() {
    local n pid
    for n in $(seq 50 250); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -ac </dev/null >"$1" 2>&1 &
        pid=$!
        for _ in $(seq 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$pid" 2>/dev/null; then
            VIRTUAL_DISPLAY_PID=$pid
            DISPLAY=":$n"
            return 0
        fi
        kill "$pid" 2>/dev/null || true   # lost a race for this number: try the next
    done
    echo "no free X display number" >&2
    return 1
}
