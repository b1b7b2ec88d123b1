#!/bin/bash
# The tray icon of Hushpane.exe, seen through a stand-in notification area
# (hushpane_query.exe tray) that prints every Shell_NotifyIcon request and passes
# real X clicks (xdotool) on it to the icon's owner: into the tray, the block
# indicator under a burst of vetoes from two processes, a re-created notification
# area (in the tray and while shown), double click, the menu and "&Quit Blocking",
# and a program killed with its hooks installed.
#   tray_icon_test.sh BIN_DIR   (screenshots go to BIN_DIR/../screenshots)
#   tray_icon_test.sh BIN_DIR wow64 QUERY64 QUERY32
# wow64, in a 64-bit prefix: the 32-bit Hushpane.exe's blocking reaches the 64-bit
# QUERY64's windows (through its 64-bit host, Snapveil64.exe) as well as the 32-bit
# QUERY32's, by the switches of the 32-bit registry view; presses in either count
# once; Reset, Quit and a kill end the host.
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
mode=${2:-tray} query64=${3:-} query32=${4:-}
shots=$bin/../screenshots
mkdir -p "$shots"
[ "$mode" = wow64 ] && query=$query64 switches_view=32
header_vars tray/resource_ids.h IDC_APPLY IDC_RESET IDC_TOOLTIP_BOX IDC_QUICK_TIPS IDC_DESKTOP_GROUP \
    IDC_BROWSER_GROUP IDM_SETTINGS IDM_QUIT_BLOCKING IDI_TRAY_REST IDI_TRAY_WHITE IDI_TRAY_YELLOW \
    IDM_BLOCKED_WINDOWS IDC_LEAVE_ALONE IDC_BLOCK_AGAIN || exit 1
tip=$(header_define tray/tray_icon.h TRAY_ICON_TIP) || exit 1
host=$(header_define hooking/host_program.h HOST_PROGRAM_NAME) || exit 1   # the 64-bit host
rest=$IDI_TRAY_REST white=$IDI_TRAY_WHITE yellow=$IDI_TRAY_YELLOW
make_work
standin=$work/standin probe_lines=$work/probe.txt

# The stand-in's lines since the last tray_mark, and the lines expected of it.
tray_mark() { mark=$(wc -l <"$work/tray.txt"); }
tray_since() { tail -n +$((mark + 1)) "$work/tray.txt" | tr -d '\r'; }
request() { echo "$1 $2 flags=7 message=0x405 id=0 window=$3 tip=$tip"; }   # KIND ICON WINDOW
expect_tray() { expect_soon "$1" "$2" tray_since; }   # "what" LINES: the lines since tray_mark
tray_has() { [ "$(tray_since | grep -c .)" -ge "$1" ]; }   # tray_has N: N lines at least
# flashes N SECONDS: within SECONDS the lines since tray_mark are N whole flashes,
# each white, rest, yellow, rest, and the icon ends at rest. A veto that comes in
# while a flash waits for the shell's answer is flashed inside it (a waiting send
# takes other sends in): the flashes nest.
flashes() {
    wait_until "$2" "$(($1 * 4)) icon changes" tray_has $(($1 * 4))
    echo "icons: $(tray_since | cut -d' ' -f2 | tr '\n' ' ')"
    tray_since | awk -v n="$1" -v line="$(request modify $rest hidden)" -v rest=$rest -v white=$white -v yellow=$yellow '
        { t = $2; sub(/ [0-9]+ /, " " rest " ") } $0 != line { bad = 1 } t == white { s[++k] = 1; started++; next }
        k && t == (s[k] == 2 ? yellow : rest) { if (++s[k] == 4) k--; next } { bad = 1 }
        END { exit bad || k || started != n }'
}
start_tray() {   # the stand-in, ready when it prints where its icon is
    wine hushpane_query.exe tray Hushpane.exe >"$work/tray.txt" 2>&1 &
    started+=($!)
    wait_until 30 "the stand-in notification area" grep -q '^ready ' "$work/tray.txt" || return 1
    read -r _ TX TY < <(grep '^ready ' "$work/tray.txt" | tr -d '\r')
}
click_control() { xdotool mousemove $(inspect center "$1") click 1; }   # a real click on a control
into_tray() {   # into_tray "how" KEYS...: the keys or clicks that apply
    tray_mark
    "${@:2}"
    check "$1 hides the window" inspect wait hidden 15000
    expect_tray "$1 adds the icon at rest with its tip, the window already hidden" "$(request add $rest hidden)"
}
open_menu() {   # open_menu X: a right press on the icon at X; sets MENU to "left top right bottom"
    xdotool mousemove "$1" "$TY" mousedown 3
    MENU=$(inspect wait menu 5000); [[ $MENU == menu* ]] || MENU="none 0 0 0 0"
    xdotool mouseup 3
    read -r _ mleft mtop mright mbottom <<<"$MENU"
    check "menu open on the right press, its right edge and top at the cursor $1,$TY: $MENU" \
        test "${mright:-0}" -eq "$1" -a "${mtop:-0}" -eq "$TY"
}
# menu_click 1: a click on the upper item of the menu open_menu saw; 3: on the lower.
menu_click() { xdotool mousemove $(((mleft + mright) / 2)) $((mtop + (mbottom - mtop) * $1 / 4)) click 1; }

echo "-- into the tray"
# Shown before any hook exists: a press on the tray icon or the settings
# window opens the filter, close_filter closes it.
check "stand-in browser shown" start_standin HushpanePage
check "stand-in notification area found by the shell ahead of Wine's" start_tray
[ "$mode" = wow64 ] && switches_view=64 write_switches 0 0 1 0 0
if [ "$mode" = wow64 ]; then write_switches 1 0 0 0 0; else write_switches 1 0 1 0 0; fi
check "settings window shown" start_hushpane
if [ "$mode" = tray ]; then
    sleep 1
    import -window "$(window_named Hushpane)" "$shots/settings-window.png"
fi
into_tray "Enter on OK" xdotool key Return

# --- the host of the 64-bit hooks, counted among this prefix's processes
host_count() {
    local pid
    for pid in $(pgrep -f "$host"); do
        grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && echo "$pid"
    done | grep -c .
}
no_host_by() {   # no_host_by START_NS: none left 2 s after START_NS
    until [ "$(host_count)" = 0 ]; do [ "$(since_ms "$1")" -lt 2000 ] || return 1; sleep 0.05; done
}
one_host() { wait_until 3 "one host running" output_is 1 host_count; }

if [ "$mode" = wow64 ]; then
    # Wine never relays a hook call: it loads the hook's library into the
    # program the event happened in, and where that library is of the other
    # bitness the call, and the chain, end there. So creations are judged only
    # in programs of the bitness whose creation hook heads the chain: 64-bit
    # ones while the host (which installs last) runs, 32-bit ones in the scene
    # without it. Presses and keys go to Hushpane.exe's low-level hooks, which
    # see every program's.
    # probes PROGRAMS "what" EXIT FLASHES CLASS...: each veto flashes the tray once.
    probes() {
        local program
        for program in $1; do
            tray_mark
            query=$program check "$2 in $program" probe_ok "$3" "${@:5}"
            check "$4 flash(es) for it" flashes "$4" 2
        done
    }
    echo "-- 64-bit programs, by the switches of the 32-bit view"
    check "one host while blocking" one_host
    check "filter closed by a press in the 64-bit stand-in browser" close_filter
    probes $query64 "browser frame vetoed, tooltip let through (the 64-bit view says the opposite)" 1 1 IEFrame tooltips_class32
    echo "-- Reset, a host started by hand, OK"
    inspect command $IDM_SETTINGS >/dev/null
    check "\"&Settings\" shows the window" inspect wait shown 5000
    # Not a real press, which would open the filter by itself.
    reset=$(date +%s%N)
    check "Reset pressed" inspect click $IDC_RESET
    probes $query64 "nothing vetoed at once after Reset" 0 0 IEFrame tooltips_class32
    check "no host 2 s after Reset" no_host_by "$reset"
    # A host's install leaves the switches as Hushpane.exe loaded them, whatever
    # the key says now. This one serves the stand-in (its window and process),
    # and holds the session's one-host place until the stand-in ends.
    write_switches 0 0 1 0 0
    read -r by_hand_args < <(inspect host-arguments "Hushpane test browser")
    wine "$host" $by_hand_args &
    started+=($!)
    check "a host started by hand for the stand-in ($by_hand_args)" one_host
    # The process shows before its hook: the first creations may pass.
    query=$query64 check "it vetoes by the switches Hushpane.exe loaded: the frame, not the tooltip" \
        wait_until 10 "the frame vetoed, the tooltip not" probe_ok 1 IEFrame tooltips_class32
    click_control $IDC_TOOLTIP_BOX   # Tooltip ticked, beside the Browser that Reset ticks
    switches_view=64 write_switches 0 0 0 0 0
    into_tray "OK after Reset" click_control $IDC_APPLY
    # Hushpane's host is refused while the one by hand runs, and started again
    # once it ends. The filter is opened first, so the new stand-in's frame passes.
    check "a press in the stand-in's other window" press other
    stop_standin
    check "one host again after OK, once the host by hand ended" one_host
    check "stand-in browser shown again" start_standin HushpanePage
    check "filter closed after OK" close_filter
    probes $query64 "browser frame and tooltip vetoed after OK (the 64-bit view has neither)" 3 2 IEFrame tooltips_class32
    echo "-- blocked windows: a 64-bit program's vetoes, left alone and blocked again"
    inspect command $IDM_BLOCKED_WINDOWS >/dev/null
    expect_soon "its vetoes listed, newest first" \
        "$(printf '%s\n' "Tooltip|$query64|tooltips_class32" "Browser popup|$query64|IEFrame")" \
        eval 'inspect blocked-rows | head -2 | cut -d"|" -f2-'
    check "its row selected" inspect blocked-select 0
    check "\"Leave this program alone\" pressed" inspect click $IDC_LEAVE_ALONE
    probes $query64 "left alone: its frame created" 0 0 IEFrame
    check "it chosen" inspect exempt-select 0
    check "\"Block again\" pressed" inspect click $IDC_BLOCK_AGAIN
    probes $query64 "blocked again, with no apply" 1 1 IEFrame
    xdotool windowfocus --sync "$(window_named "Blocked Windows")" key Escape
    echo "-- presses in a 32-bit program's page"
    check "a press in the stand-in's other window" press other
    stop_standin
    query=$query32 check "32-bit stand-in browser shown" start_standin HushpanePage
    check "triple click on the 32-bit page" slow_press page 3
    probes $query64 "the next 64-bit frame let through after the triple click" 0 0 IEFrame
    check "one slow press on the 32-bit page" slow_press page
    probes $query64 "vetoed again: the slow press counted once" 1 1 IEFrame
    echo "-- the host started by hand without Hushpane's arguments"
    timed timeout 10 wine "$host"
    check "it ends at once (exit $code in $ms ms)" test "$code" != 124 -a "$ms" -lt 5000
    check "still one host" one_host
    probes $query64 "still vetoed after the start by hand" 1 1 IEFrame
    echo "-- Quit"
    inspect command $IDM_QUIT_BLOCKING >/dev/null
    quit=$(date +%s%N)
    check "quits" wait_hushpane_exit
    check "no host 2 s after Quit" no_host_by "$quit"
    query=$query64 check "nothing vetoed after Quit" probe_ok 0 IEFrame
    echo "-- 32-bit programs: Hushpane.exe from a folder without the host, its hooks head the chain"
    solo=$work/solo
    mkdir -p "$solo" && cp Hushpane.exe Snapveil.dll Foldwright.dll "$solo"
    hushpane_cwd=$solo check "settings window shown, from a folder without the host" start_hushpane
    stop_standin
    check "64-bit stand-in browser shown" start_standin HushpanePage
    into_tray "Enter on OK" xdotool key Return
    check "no host without its file" test "$(host_count)" = 0
    check "a slow press in the 64-bit page closes the filter" close_filter
    probes $query32 "browser frame and tooltip vetoed, as the last OK stored" 3 2 IEFrame tooltips_class32
    inspect command $IDM_QUIT_BLOCKING >/dev/null
    check "quits" wait_hushpane_exit
else
echo "-- block indicator: a burst from two processes"
check "filter closed by a press on the stand-in's page" close_filter
classes="IEFrame IEFrame IEFrame IEFrame IEFrame IEFrame IEFrame IEFrame"
tray_mark
probe_lines=$work/burst1.txt run_probe $classes & p1=$!
probe_lines=$work/burst2.txt run_probe $classes & p2=$!
wait $p1; c1=$?; wait $p2; c2=$?
cat "$work/burst1.txt" "$work/burst2.txt" >"$probe_lines"
check "every creation of the burst vetoed" test "$c1" = 255 -a "$c2" = 255
check "sixteen vetoes reported" test "$(grep -c ' vetoed ' "$probe_lines")" = 16
# Each send waits for its own flash (>= 140 ms) and none ran into the
# library's 2 s send limit, which would mean a notification was not handled.
check "each vetoing call waited 140..1900 ms" took_at_least 140 1900
check "sixteen flashes, nested, each white, rest, yellow, rest, ending at rest" flashes 16 10
echo "-- blocked windows: what was blocked, a program left alone and blocked again"
# ledger.exe: the probe under another name, a program of its own.
cp hushpane_query.exe "$work/ledger.exe"
ledger=$work/ledger.exe
inspect command $IDM_BLOCKED_WINDOWS >/dev/null
inspect command $IDM_BLOCKED_WINDOWS >/dev/null
check "\"&Blocked Windows...\" twice: one window, the burst in it" \
    wait_until 5 "the burst's rows" eval 'inspect blocked-rows | grep -q "|Browser popup|hushpane_query.exe|IEFrame$"'
check "one Blocked Windows window" output_is 1 eval "xdotool search --onlyvisible --name '^Blocked Windows\$' | grep -c ."
since=$(date +%T)
query=$ledger check "the stand-in's frame and tooltip vetoed" probe_ok 3 IEFrame tooltips_class32
check "another program's frame vetoed" probe_ok 1 IEFrame
# Wine's own programs make tooltips too: the rows of these two programs.
ours() { inspect blocked-rows | grep -nE '\|(ledger|hushpane_query)\.exe\|' | head -3; }
expect_soon "the newest first, each with its kind, program and class" \
    "$(printf '%s\n' "Browser popup|hushpane_query.exe|IEFrame" "Tooltip|ledger.exe|tooltips_class32" \
       "Browser popup|ledger.exe|IEFrame")" eval 'ours | cut -d"|" -f2-'
IFS=: read -r stand_in_row newest < <(ours | sed -n 2p | cut -d"|" -f1)
check "the time is the local time of the veto ($newest, probes from $since)" \
    test "$newest" \> "$since" -o "$newest" = "$since"
check "the stand-in's row selected" inspect blocked-select $((stand_in_row - 1))
check "\"Leave this program alone\" pressed" inspect click $IDC_LEAVE_ALONE
check "ledger.exe left alone" output_is "ledger.exe" inspect exempt-items
tray_mark
query=$ledger check "left alone, its next frame is created at once" probe_ok 0 IEFrame
check "no flash for it" flashes 0 1
check "another program's frame still vetoed" probe_ok 1 IEFrame
check "one flash for that" flashes 1 2
check "ledger.exe chosen" inspect exempt-select 0
check "\"Block again\" pressed" inspect click $IDC_BLOCK_AGAIN
check "no program left alone" output_is "" inspect exempt-items
query=$ledger check "blocked again at once, with no apply" probe_ok 1 IEFrame
xdotool windowfocus --sync "$(window_named "Blocked Windows")" key Escape
check "Esc closes the window" wait_until 5 "the window closed" fails inspect blocked-state
echo "-- re-created notification area"
tray_mark
check "a new notification area announced" inspect tray-recreate
expect_tray "the icon added again, at rest" "$(printf 'recreated\n%s' "$(request add $rest hidden)")"
echo "-- double click"
tray_mark
xdotool mousemove "$TX" "$TY" click --repeat 2 --delay 60 1
check "double click shows the window" inspect wait shown 5000
check "focus on OK" inspect wait focus:$IDC_APPLY 5000
check "filter closed again after the double click" close_filter
check "still blocking, veto waited >= 140 ms while shown" probe_ok 1 IEFrame
check "veto while shown takes its time" took_at_least 140 1900
expect_tray "the icon removed first, then a flash with no icon" \
    "$(request delete $rest hidden; for icon in $white $rest $yellow $rest; do request modify $icon shown; done)"

tray_mark
check "a new notification area announced while the window is shown" inspect tray-recreate
sleep 1   # time for an add that must not come
expect_same "no icon added for it while the window is shown" recreated "$(tray_since)"
echo "-- moving the window by its body"
# A press on a group box reaches the window (not the button sharing the id):
# it drags the window and neither shows the quick tips nor ends the program.
for group in $IDC_DESKTOP_GROUP $IDC_BROWSER_GROUP; do
    read -r ox oy < <(inspect origin)
    read -r gx gy < <(inspect group-point $group)
    xdotool mousemove "$gx" "$gy" mousedown 1
    check "a press on group box $group starts a drag" inspect wait moving 5000
    xdotool mousemove $((gx + 40)) $((gy + 30)) mouseup 1
    moved="$((ox + 40)) $((oy + 30))"
    check "the drag on group box $group moves the window by it, from $ox $oy" \
        wait_until 5 "the window at $moved" output_is "$moved" inspect origin
    check "no quick tips from group box $group" fails inspect box "Quick Tips" 500
    check "still running after a press on group box $group" inspect wait shown 1000
done
echo "-- quick tips and the FAQ page"
# Wine opens web pages with the programs named here; this one records the address.
printf '#!/bin/sh\necho "$@" >"%s/opened.txt"\n' "$work" >"$work/browser.sh"
chmod +x "$work/browser.sh"
quiet wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /t REG_SZ /d "$work/browser.sh" /f
click_control $IDC_QUICK_TIPS
tips=$(inspect box "Quick Tips" 5000); owned=$?
expected='\r\nWhen you choose to open a popup or new window  \r\nthat has been blocked by default, you can: \r\n\r\n1. Triple click the link.\r\n   -------------or-------------\r\n2. Press down a key (any key)\r\n   when clicking.\r\n\r\n'
check "quick tips box owned by the settings window" test "$owned" = 0
expect_same "quick tips text exact" "$expected" "$tips"
check "no page before the box is closed" test ! -e "$work/opened.txt"
inspect box-ok "Quick Tips"
wait_until 10 "the FAQ page" test -s "$work/opened.txt"
check "FAQ page opened after the box: $(cat "$work/opened.txt" 2>/dev/null)" grep -qE '^https?://[^/]+/faq/$' "$work/opened.txt"
quiet wine reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f
echo "-- the menu: elsewhere, \"&Settings\" and \"&Quit Blocking\""
into_tray "the apply button" click_control $IDC_APPLY
tray_mark
open_menu "$TX"
import -window root -crop "240x120+$((TX - 200))+$((TY - 30))" +repage "$shots/tray-menu.png"
# A click on another window takes the foreground; Wine leaves the menu open
# where Windows ends it, so the menu is ended as the system does, with
# WM_CANCELMODE to its owner.
xdotool mousemove $(standin_target other) click 1
inspect menu-cancel
check "a click elsewhere closes the menu" inspect wait menu-closed 5000
open_menu $((TX - 8))   # not where a second press would make a double click
menu_click 1
check "the upper item, \"&Settings\", shows the window" inspect wait shown 5000
check "focus on OK after \"&Settings\"" inspect wait focus:$IDC_APPLY 5000
expect_tray "no command from the click elsewhere; \"&Settings\" removes the icon" "$(request delete $rest hidden)"
into_tray "the apply button again" click_control $IDC_APPLY
open_menu "$TX"
tray_mark
menu_click 3
check "the lower item, \"&Quit Blocking\", ends the program with 0" wait_hushpane_exit
expect_tray "\"&Quit Blocking\" removes the icon before the window goes" "$(printf '%s\ngone' "$(request delete $rest hidden)")"
check "hooks gone after Quit Blocking" probe_ok 0 IEFrame

fi

echo "-- killed with its hooks installed"
check "started again" start_hushpane
into_tray "the apply button" click_control $IDC_APPLY
[ "$mode" = wow64 ] && check "filter closed before the kill" close_filter
hushpane_kill
timed run_probe IEFrame
check "another process's creation does not hang (exit $code in $ms ms)" test "$code" != 124 -a "$ms" -lt 10000
if [ "$mode" = wow64 ]; then
    check "no host 2 s after the kill" no_host_by "$t0"
    # Wine keeps the killed program's own hooks (below); a host's go with it.
    check "nothing vetoed in a 64-bit program after the kill" probe_ok 0 IEFrame
fi
inspect tray-recreate >/dev/null   # nothing to answer any more
# Wine keeps a killed program's hooks until the desktop ends; only the next
# install replaces them, by the handles in the record the stand-in browser
# still maps. Without this every later press is counted twice.
check "started again after the kill" start_hushpane
# Low-level hooks (wow64) end with their thread: there nothing counts a press
# until the next apply, which replaces what Wine kept of the killed program.
[ "$mode" = wow64 ] && into_tray "the apply button after the kill" click_control $IDC_APPLY
check "filter closed by a press on the page after the restart" close_filter
check "the press counted once: the killed program's hooks replaced" probe_ok 1 IEFrame
inspect command $IDM_QUIT_BLOCKING >/dev/null
check "quits, taking the killed program's hooks with its own" wait_hushpane_exit

checks_done
