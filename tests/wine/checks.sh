# The shell tests' harness, sourced by each: one "ok: ..." or "FAIL: ..." line per
# check and `checks_done` last, which counts them and sets the status; the
# product's names read from its headers, waits, the window probe, the switches,
# the stand-in browser, Hushpane.exe itself and the clean-up at exit. A test's
# first argument is the folder of the built binaries, $bin, where it runs.
set -u
hushpane_source=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$(cd "${1:?folder of the built binaries}" && pwd) && cd "$bin" || exit 1
passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; return 1; }
check() {   # check "what" command...: passes when the command succeeds; its status is the check's
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
require() { check "$@" || exit 1; }   # a check the rest of the test stands on
fails() { ! "$@"; }
quiet() { "$@" >/dev/null 2>&1; }
expect_same() {   # expect_same "what" expected actual: shows the difference
    if [ "$2" == "$3" ]; then pass "$1"; else fail "$1"; diff <(echo "$2") <(echo "$3") | head -20; fi
}
checks_done() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# --- the clean-up at exit: the test's own at_exit first, then Hushpane.exe, the
# stand-in browser and the pids in $started are ended and the paths in $scratch removed.
started=() scratch=()
at_exit() { :; }
on_exit() {
    at_exit
    hushpane_kill
    stop_standin
    local pid
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "${scratch[@]}"
}
trap on_exit EXIT
make_work() { work=$(mktemp -d "$@") && scratch+=("$work"); }   # make_work [MKTEMP ARGS]: $work

# --- the product's own names, read from its headers in the source tree ($hushpane_source)
# header_define FILE NAME: prints NAME's value in FILE (from the source tree's
# top): a string unquoted with its C escapes undone, a number without its suffix.
header_define() {
    local value
    value=$(sed -nE "s/^#define $2[[:space:]]+//p" "$hushpane_source/$1" | head -1)
    [ -n "$value" ] || { echo "no #define $2 in $1" >&2; return 1; }
    if [[ $value == \"* ]]; then
        printf '%b\n' "$(sed -E 's/^"((\\.|[^"\\])*)".*/\1/' <<<"$value")"
    else
        sed -E 's|[[:space:]]*//.*||; s/[[:space:]]+$//; s/^([0-9][0-9A-Fa-fx]*)[uUlL]+$/\1/' <<<"$value"
    fi
}
header_vars() {   # header_vars FILE NAME...: a shell variable of each NAME, set to its value
    local name value
    for name in "${@:2}"; do
        value=$(header_define "$1" "$name") || return 1
        printf -v "$name" '%s' "$value"
    done
}
header_vars settings/settings_store.h SETTINGS_KEY SETTINGS_MAKER_KEY
settings_key="HKLM\\$SETTINGS_KEY" maker_key="HKLM\\$SETTINGS_MAKER_KEY"   # as reg.exe takes them

# --- waiting and timing -------------------------------------------------------
wait_until() {   # wait_until SECONDS "what" command...: polls the command, says what did not happen
    local deadline=$((SECONDS + $1)) what=$2; shift 2
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || { echo "timed out waiting for: $what"; return 1; }
        sleep 0.05
    done
}
expect_soon() {   # expect_soon "what" EXPECTED command...: its output becomes EXPECTED within 10 s
    wait_until 10 "$1" output_is "$2" "${@:3}"
    expect_same "$1" "$2" "$("${@:3}")"
}
output_is() { [ "$("${@:2}")" = "$1" ]; }   # output_is EXPECTED command...
count_at_least() { [ "$(grep -cE -- "$2" "$1" 2>/dev/null)" -ge "$3" ]; }   # FILE REGEX N
sleep_ms() { sleep "$(printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)))"; }
since_ms() { echo $((($(date +%s%N) - $1) / 1000000)); }   # since_ms START_NS
timed() {   # timed COMMAND...: its status in $code (and returned), its time in $ms, its start in $t0 (ns)
    t0=$(date +%s%N)
    "$@"; code=$?
    ms=$(since_ms "$t0")
    return $code
}
# end_pid PID "what": waits up to 10 s for a program to end by itself, then kills it.
end_pid() { [ -z "$1" ] || wait_until 10 "$2 to end" fails kill -0 "$1" || kill "$1" 2>/dev/null; }
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }   # the first, by title

# --- the window probe ($query probe): tries to create windows of the classes in a process of its own.
# The program that runs it and the stand-in browser: a test may name one of
# another bitness than Hushpane.exe's (e.g. query=hushpane_query64.exe).
query=hushpane_query.exe
# run_probe CLASS...: its exit status (bit i: the i-th creation vetoed), its
# "CLASS created|vetoed MS" lines shown and kept in $probe_lines; 124 past 20 s.
run_probe() {
    timeout 20 wine "$query" probe "$@" | tr -d '\r' | tee "${probe_lines:?}"
    return "${PIPESTATUS[0]}"
}
probe_ok() { run_probe "${@:2}"; [ $? = "$1" ]; }   # probe_ok EXPECTED_EXIT CLASS...
took_at_least() {   # every line of the last probe took >= $1 ms and <= $2 ms
    awk -v lo="$1" -v hi="$2" '{ if ($3 < lo || $3 > hi) bad = 1 } END { exit bad || NR == 0 }' "$probe_lines"
}

# The five blocking switches, as the settings window stores them; in the
# registry view $switches_view (32 or 64) where one is named.
write_switches() { inspect switches "${switches_view:-32}" "$@"; }   # BROWSER MESSENGER TOOLTIP APPLET FLASH

# --- the stand-in browser (hushpane_query.exe browser): an "IEFrame" with an
# address bar and a page, and an unrelated window; its files are $standin.targets,
# .log and .stop (a path prefix each test sets). A press anywhere but a browser
# window opens the filter for every process; only a slow press inside one closes it.
standin_pid=
start_standin() {   # start_standin PAGECLASS: true once both windows are mapped
    rm -f "${standin:?}".*
    wine "$query" browser "$1" "$standin.targets" "$standin.stop" >"$standin.log" 2>&1 &
    standin_pid=$!
    wait_until 60 "the stand-in browser's targets" grep -q '^other ' "$standin.targets" || return 1
    local title
    for title in "Hushpane test browser" "Hushpane test other"; do
        timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" >/dev/null || return 1
    done
}
stop_standin() {
    [ -n "$standin_pid" ] || return 0
    touch "$standin.stop"
    end_pid "$standin_pid" "the stand-in browser"
    standin_pid=
}
standin_target() { tr -d '\r' <"$standin.targets" | awk -v k="$1" '$1 == k { print $2, $3; exit }'; }
# press TARGET [REPEAT]: left clicks on a target, then waits until the
# stand-in has taken every press from its queue, which is after the mouse hook saw it.
press() {
    local repeat=${2:-1} before
    before=$(grep -c '^input ' "$standin.log")
    xdotool mousemove $(standin_target "$1") click --repeat "$repeat" --delay 100 1
    wait_until 20 "$repeat press(es) on $1 seen by the stand-in" count_at_least "$standin.log" '^input ' $((before + repeat))
}
# A slow press: the wait starts after the previous press or key-down was seen.
slow_press_wait=
slow_press() {
    slow_press_wait=${slow_press_wait:-$(inspect slow-press-wait)} || return 1
    sleep_ms "$slow_press_wait"
    press "$@"
}
close_filter() { slow_press page; }

# --- Hushpane.exe as the tests start, watch and end it; the exit trap kills it.
hushpane_pid=
inspect() { wine hushpane_query.exe "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }   # its lines without CR
start_hushpane() {   # start_hushpane [EXE]: true once its settings window shows; run in $hushpane_cwd if set
    (cd "${hushpane_cwd:-.}" && exec wine "${1:-Hushpane.exe}") &
    hushpane_pid=$!
    inspect wait shown 15000
}
# Exit code of the program, said when not 0, or 124 when it does not end
# within 10 s (its pid is then kept for the exit trap, which ends it).
wait_hushpane_exit() {
    wait_until 10 "Hushpane.exe to end" fails kill -0 "$hushpane_pid" || return 124
    local code=0
    wait "$hushpane_pid" || { code=$?; echo "Hushpane.exe ended with $code"; }
    hushpane_pid=
    return $code
}
hushpane_kill() {   # and waits for it, so that a test may go on without it
    [ -n "$hushpane_pid" ] && kill -9 "$hushpane_pid" 2>/dev/null && wait "$hushpane_pid" 2>/dev/null
    hushpane_pid=
}
