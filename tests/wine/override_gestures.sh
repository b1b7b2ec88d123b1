#!/bin/bash
# Override gestures with real mouse and keyboard input, across processes: the
# stand-in browser (hushpane_query.exe browser) shows an "IEFrame" window and
# an unrelated window, "filter_blocking_test.exe host" installs the hooks with
# "Browser" on, and the window probe (hushpane_query.exe probe), a third
# process, tries to create an "IEFrame" window after each gesture.
#   override_gestures.sh BINDIR [nt|9x]
# 9x: every test program reports the 9x family (Wine's per-program Version),
# and the page is the 9x browser's "Internet Explorer_Server".
# Runs inside a Wine test session (DISPLAY and WINEPREFIX set).
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
mode=${2:-nt}
standin=override_$mode
host_log=$standin.host.log
probe_lines=$standin.probe.txt
appdefaults='HKCU\Software\Wine\AppDefaults'
programs="hushpane_query.exe filter_blocking_test.exe"
vetoes=0
host_pid=
scratch=("$standin.stop" "$standin.targets" "$probe_lines")   # the logs stay; on a failure they are shown
at_exit() {
    stop_standin   # its stop file ends the hook host too
    end_pid "$host_pid" "the hook host"
    local program
    for program in $programs; do quiet wine reg delete "$appdefaults\\$program" /f; done
    [ "$failed" -eq 0 ] || { echo "stand-in log:"; cat "$standin.log"; echo "hook host log:"; cat "$host_log"; }
}

# key_press KEY TARGET: holds KEY down while pressing on TARGET.
key_press() {
    local before
    sleep_ms "$slow_press_wait"
    before=$(grep -c WM_KEYDOWN "$standin.log")
    xdotool keydown "$1"
    wait_until 20 "key $1" count_at_least "$standin.log" WM_KEYDOWN $((before + 1)) || fail "key $1 not seen"
    press "$2" || fail "$2 not taken by the stand-in"
    xdotool keyup "$1"
}

# gesture vetoed|created WHAT [COMMAND...]: COMMAND, then a new "IEFrame" window from another
# process. Every press is a check of its own: one the stand-in never took proves nothing.
gesture() {
    local got
    "${@:3}" || fail "$2: not taken by the stand-in"
    run_probe IEFrame >/dev/null
    case $? in 0) got=created ;; 1) got=vetoed; vetoes=$((vetoes + 1)) ;; *) got="probe failure" ;; esac
    if [ "$got" = "$1" ]; then pass "$1 after $2"; else fail "$got, expected $1, after $2"; fi
}

# --- set-up ------------------------------------------------------------------
# The frame's caption must be Wine's own, drawn without a window manager.
quiet wine reg add "$appdefaults\\hushpane_query.exe\\X11 Driver" /v Decorated /d N /f
page_class=HushpanePage
if [ "$mode" = 9x ]; then
    page_class="Internet Explorer_Server"
    for program in $programs; do quiet wine reg add "$appdefaults\\$program" /v Version /d win98 /f; done
fi

# The stand-in creates its "IEFrame" before any hook of this test exists.
require "the stand-in shows both windows" start_standin "$page_class"
check "the caption target is on the caption" grep -q 'caption hit test 2;' "$standin.log"
check "the border target is on a border" grep -qE 'border hit test 18[^0-9]*$' "$standin.log"

wine filter_blocking_test.exe host "$standin.stop" >"$host_log" 2>&1 &
host_pid=$!
require "the hook host ready" wait_until 60 "the hook host" grep -qE '^ready wait [0-9]+' "$host_log"
host_says() { tr -d '\r' <"$host_log" | awk -v k="$1" '$1 == k { print $NF; exit }'; }
slow_press_wait=$(host_says ready)
echo "a slow press waits $slow_press_wait ms"

# --- gestures ----------------------------------------------------------------
# A slow press on the page puts the desktop-wide state into a known one: closed.
gesture vetoed "a slow press on the page" slow_press page

if [ "$mode" = 9x ]; then
    # The 9x classification looks at the window under the point alone.
    gesture vetoed "a slow press on an unlisted window after an inside press (inside, timed)" slow_press other
    gesture created "a press on an \"Edit\" without the address id (outside)" slow_press search
    gesture created "a slow press on an unlisted window after an outside press (outside)" slow_press other
    gesture vetoed "a slow press on the address \"Edit\" (inside)" slow_press address
    gesture created "a triple click on an unlisted window after an inside press" slow_press other 3
    gesture vetoed "a slow press on the frame's caption (inside)" slow_press caption
else
    slow_press page 2 || fail "a double click on the page not taken by the stand-in"
    # Only a second press that the system reports as a double click is left uncounted;
    # under heavy load the two clicks may come too far apart to be one.
    if tr -d '\r' <"$standin.log" | grep '^input ' | tail -n 1 | grep -q 'page WM_LBUTTONDBLCLK'; then
        gesture vetoed "a double click on the page (its second press does not count)"
    else
        echo "skip: the second click was not reported as a double click"
    fi
    gesture created "a triple click on the page" slow_press page 3
    gesture vetoed "the next slow press on the page" slow_press page
    gesture created "a press on the page while Shift is held" key_press shift page
    gesture vetoed "a press on the page while Enter is held (Enter does not count)" key_press Return page
    gesture vetoed "a slow press on a control inside the frame" slow_press search
    # A non-client press is judged by the window under the point, not its frame.
    gesture created "a press on the page's border (non-client, inside the frame)" slow_press border
    gesture vetoed "the next slow press on the page" slow_press page
    gesture created "a press on the unrelated window" press other
    gesture vetoed "the next slow press on the page" slow_press page
    gesture created "a press on the unrelated window" press other
    gesture vetoed "a slow press on the frame's caption (inside)" slow_press caption
fi

# --- tear-down ---------------------------------------------------------------
touch "$standin.stop"
check "the hook host stops" wait_until 30 "the hook host to stop" grep -q '^stopped ' "$host_log"
expect_same "a notification for each of the $vetoes vetoes" "$vetoes" "$(host_says stopped)"
checks_done
