# Hushpane.exe as the shell tests start, watch and end it; sourced by each,
# after checks.sh. A test's exit trap calls hushpane_kill.
hushpane_pid=
inspect() { wine hushpane_query.exe "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }   # its lines without CR

start_hushpane() {   # start_hushpane [EXE]: true once its settings window shows
    wine "${1:-Hushpane.exe}" &
    hushpane_pid=$!
    inspect wait shown 15000
}

# Exit code of the program, or 124 when it does not end within 10 s (its pid
# is then kept for the exit trap, which ends it).
wait_hushpane_exit() {
    wait_until 10 "Hushpane.exe to end" fails kill -0 "$hushpane_pid" || return 124
    local code=0
    wait "$hushpane_pid" || code=$?
    hushpane_pid=
    return $code
}

hushpane_kill() {
    [ -n "$hushpane_pid" ] && kill -9 "$hushpane_pid" 2>/dev/null
    hushpane_pid=
}
