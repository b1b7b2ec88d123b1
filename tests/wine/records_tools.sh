#!/bin/bash
# The browser records lists end to end with real input: a window with the two
# sorted lists whose procedure calls RecordsTools_OnSelectionChange, driven by
# xdotool clicks and keys. Judged by what the window reports (each selection
# change, each message box's owner, caption, text and default button) and by
# the browser folders on disk. Last, Hushpane.exe itself: where it loads the
# library from.
#   records_tools.sh BINDIR   (inside the Wine session: tests/wine/session.sh run)
set -u
bin=${1:?bin directory}
cd "$bin" || exit 1
: "${WINEPREFIX:?run inside the Wine session}" "${DISPLAY:?}"

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
source "$(dirname "${BASH_SOURCE[0]}")/hushpane_process.sh"

log=$(mktemp /tmp/records_tools.XXXXXX)
alone=$(mktemp -d /tmp/records_tools_alone.XXXXXX)   # the program without the library, and a current directory
mkdir "$alone/xdg" && export XDG_DATA_HOME=$alone/xdg   # Wine's Recycle Bin, for the window that deletes
window_pid=
viewer_pids=()
cleanup() {
    hushpane_kill
    [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null
    for pid in "${viewer_pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$log" "$alone"
}
trap cleanup EXIT

# Waits until the log holds COUNT lines matching PATTERN (a Wine program
# answers in its own time; the limit of 30 s only ends a hung run).
wait_lines() { # count, pattern
    local i
    for i in $(seq 300); do
        [ "$(grep -c -- "$2" "$log")" -ge "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
last_line() { grep -- "$1" "$log" | tail -1 | tr -d '\r'; }

declare -A folder
while IFS='|' read -r csidl _ unixpath; do
    [ -n "$unixpath" ] && folder[$csidl]=$(realpath -e "$unixpath")
done < <(wine foldwright_driver.exe paths | tr -d '\r')
[ ${#folder[@]} -eq 4 ] || { echo "FAIL: expected four browser folders"; exit 1; }
fill() { local f; for f; do find "$f" -mindepth 1 -delete && mkdir -p "$f/nested" &&
    echo record >"$f/record.txt" && echo record >"$f/nested/record.txt"; done; }
fill "${folder[@]}"
listing() { (cd "${folder[$1]:-$1}" && find . -mindepth 1 | sort); }   # CSIDL or folder
full=$(listing 33)

# Starts the window program from DIR, in the current directory CWD, and learns where its lists are.
start_window() { # dir, cwd
    (cd "$2" && exec wine "$1/records_tools_window.exe") >"$log" 2>&1 &
    window_pid=$!
    wait_lines 1 '^ready' || { echo "FAIL: the window did not come up"; cat "$log"; exit 1; }
    read -r _ _ inspect_rect delete_rect item < <(last_line '^ready')
    item=${item#item=}
    IFS=, read -r ix iy iw ih <<<"${inspect_rect#inspect=}"
    IFS=, read -r dx dy dw dh <<<"${delete_rect#delete=}"
}
start_window "$PWD" "$PWD"
if grep -q '^order' "$log"; then fail "sorted lists put the items in the table's order"; grep '^order' "$log"
else pass "sorted lists put the items in the table's order"; fi

list_geometry() { # inspect|delete -> id x y w h
    if [ "$1" = inspect ]; then echo 1000 "$ix" "$iy" "$iw" "$ih"; else echo 1001 "$dx" "$dy" "$dw" "$dh"; fi
}
# Clicks a list open and waits until its drop-down is on screen.
open_list() { # inspect|delete
    local id x y w h opened
    read -r id x y w h < <(list_geometry "$1")
    opened=$(grep -c "^dropdown $id" "$log")
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    wait_lines $((opened + 1)) "^dropdown $id" || fail "the $1 list does not drop down"
}
# Picks the item at INDEX from the dropped list.
pick() { # inspect|delete, index
    local id x y w h
    read -r id x y w h < <(list_geometry "$1")
    open_list "$1"
    xdotool mousemove $((x + w / 2)) $((y + h + item * $2 + item / 2 + 1)) click 1
}
# Gives a list the keyboard focus without changing its selection.
focus_list() { # inspect|delete
    local id closed
    read -r id _ < <(list_geometry "$1")
    closed=$(grep -c "^closeup $id" "$log")
    open_list "$1"
    xdotool key Escape
    wait_lines $((closed + 1)) "^closeup $id" || fail "the $1 list does not close"
}

cookies_text='This will delete all the cookie stored\r\non your machine by Internet Explorer.\r\nAre you sure you want to proceed?'
favorites_text='This will delete your Favorites list.\r\nAre you sure you want to proceed?'
history_text='This will delete your internet surfing\r\nrecords maintained by Internet Explorer.\r\nAre you sure you want to proceed?'
cache_text='This will delete all the internet files stored\r\non your machine by Internet Explorer. Are\r\nyou sure you want to proceed?'
boxes=0
# Waits for the next warning, checks it, answers with KEY (y or n) and waits
# for the handler to return.
answer_warning() { # what, text, key, list index
    boxes=$((boxes + 1))
    if ! wait_lines "$boxes" '^box'; then fail "$1: no warning appeared"; return; fi
    expect_same "$1: warning owned by the window, Yes/No with No default, caption and text" \
        "box owner=1 default=7 yes=1 no=1 cancel=0 caption=Warning text=$2" "$(last_line '^box')"
    handled=$(grep -c "^handled 1001 $4 " "$log")
    xdotool key "$3"
    wait_lines $((handled + 1)) "^handled 1001 $4 " || fail "$1: the handler did not return"
}

# Picking the pre-selected first item (the list still reports it) does nothing.
pick delete 0
if wait_lines 1 '^handled 1001 0 popups=0'; then
    expect_same "the pre-selected delete item shows no warning" 0 "$(grep -c '^box' "$log")"
else
    fail "the pre-selected delete item blocked the window"
fi
pick inspect 0
wait_lines 1 '^handled 1000 0 popups=0' || fail "the pre-selected inspect item blocked the window"

pick delete 1
answer_warning "Delete Favorites" "$favorites_text" n 1
expect_same "No leaves the favourites alone" "$full" "$(listing 6)"

# Arrow keys on the closed list: each press is a new selection and a warning.
focus_list delete
xdotool key Down
answer_warning "Delete History" "$history_text" y 2
expect_same "Yes empties the history folder" "" "$(listing 34)"
[ -d "${folder[34]}" ] && pass "the history folder itself remains" || fail "the history folder is gone"
expect_same "the other folders keep their records" "$(printf '%s\n' "$full" "$full" "$full")" \
    "$(listing 33; listing 6; listing 32)"
# The focus went to the box and back to the window, not to the list.
focus_list delete
xdotool key Down
answer_warning "Delete Internet Cache" "$cache_text" y 3
expect_same "Yes empties the cache folder" "" "$(listing 32)"
pick delete 1
answer_warning "back to Delete Favorites" "$favorites_text" y 1
expect_same "Yes moves the favourites into the Recycle Bin" "$full" "$(listing 6; listing "$XDG_DATA_HOME/Trash/files")"
focus_list delete
xdotool key Up
answer_warning "back up to Delete Cookies" "$cookies_text" n 0
expect_same "No leaves the cookies alone" "$full" "$(listing 33)"

# Inspect: a shell folder window for the folder appears; it is ours to close.
pick inspect 1
wait_lines 1 '^handled 1000 1 popups=0' || fail "Inspect Favorites blocked the window"
viewer=
for _ in $(seq 200); do
    viewer=$(xdotool search --onlyvisible --name '^Favorites$' 2>/dev/null | head -1)
    [ -n "$viewer" ] && break
    sleep 0.1
done
if [ -n "$viewer" ]; then
    pass "Inspect Favorites opens a folder window"
    viewer_pid=$(xdotool getwindowpid "$viewer")
    # It covers the lists: close it before going on (the pid is kept for the
    # final clean-up only if it would not close).
    wine foldwright_driver.exe close Favorites >/dev/null ||
        { fail "the folder window did not close"; viewer_pids+=("$viewer_pid"); }
else
    fail "Inspect Favorites opens no folder window"
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do echo "  window: $(xdotool getwindowname "$w")"; done
    pgrep -a -f 'explorer.exe C:' | sed 's/^/  process: /'
fi
[ -z "$(xdotool search --onlyvisible --name '^INetCookies$' 2>/dev/null)" ] &&
    pass "the pre-selected inspect item opened nothing" ||
    fail "the pre-selected inspect item opened the cookies"

kill -0 "$window_pid" 2>/dev/null && pass "the window survived every request" || fail "the window died"

# Without the library next to the program: inspect is silent, delete still
# warns, and Yes then does nothing.
kill "$window_pid"
wait "$window_pid" 2>/dev/null
mkdir "$alone/program" "$alone/cwd"
fill "${folder[6]}"
cp records_tools_window.exe "$alone/program/"
cp standin/Foldwright.dll "$alone/cwd/"
boxes=0
start_window "$alone/program" "$alone/cwd"   # with the stand-in there, for Hushpane below
pick inspect 2
if wait_lines 1 '^handled 1000 2 popups=0'; then pass "Inspect without the library is silent"
else fail "Inspect without the library blocked or showed something"; fi
pick delete 1
answer_warning "Delete Favorites without the library" "$favorites_text" y 1
expect_same "Yes without the library leaves the favourites alone" "$full" "$(listing 6)"
grep -q '^handled 1001 1 popups=0' "$log" && pass "no message tells of the missing library" ||
    fail "something showed after Yes without the library"
kill -0 "$window_pid" 2>/dev/null && pass "the window without the library survived" || fail "the window died"

# Hushpane.exe itself, started elsewhere, with stand-ins that mark their
# loading in the current directory and on the PATH: neither is ever loaded,
# the one placed beside the program is.
cp Hushpane.exe Snapveil.dll "$alone/program/"
mkdir "$alone/path" && cp standin/Foldwright.dll "$alone/path/"
(cd "$alone/cwd" && WINEPATH=$(winepath -w "$alone/path") exec wine "$alone/program/Hushpane.exe") &
hushpane_pid=$!
if inspect wait shown 15000; then
    wine foldwright_driver.exe choose 1000 1 >/dev/null || fail "choosing Inspect Favorites failed"
    check "no Foldwright.dll is loaded from the current directory or the PATH" \
        fails test -e "$alone/cwd/Foldwright.dll.loaded" -o -e "$alone/path/Foldwright.dll.loaded"
    cp standin/Foldwright.dll "$alone/program/"
    wine foldwright_driver.exe choose 1000 2 >/dev/null || fail "choosing Inspect History failed"
    check "the one beside the program is" test -e "$alone/program/Foldwright.dll.loaded"
    inspect command 1010 >/dev/null
    check "Hushpane quits" wait_hushpane_exit
else
    fail "Hushpane's settings window did not show"
fi

checks_done
