# Hushpane.exe as the shell tests start, watch and end it; sourced by each.
# A test's exit trap calls hushpane_kill.
hushpane_pid=
inspect() { wine hushpane_query.exe "$@"; }

start_hushpane() {   # start_hushpane [EXE]: true once its settings window shows
    wine "${1:-Hushpane.exe}" &
    hushpane_pid=$!
    inspect wait shown 15000
}

# Exit code of the program, or 124 when it does not end within 10 s.
wait_hushpane_exit() {
    local code
    for _ in $(seq 100); do
        kill -0 "$hushpane_pid" 2>/dev/null || break
        sleep 0.1
    done
    # Still running: keep its pid for the exit trap, which ends it.
    kill -0 "$hushpane_pid" 2>/dev/null && return 124
    wait "$hushpane_pid" && code=0 || code=$?
    hushpane_pid=
    return $code
}

hushpane_kill() {
    [ -n "$hushpane_pid" ] && kill -9 "$hushpane_pid" 2>/dev/null
    hushpane_pid=
}
