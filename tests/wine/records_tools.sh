#!/bin/bash
# The browser records lists of the real settings window, end to end with real
# input: xdotool clicks and keys on Hushpane.exe's two lists, judged by the
# lists' items, each warning's owner, caption, text and buttons, and the
# browser folders on disk. The program runs from a folder of its own, where
# Foldwright.dll is first missing, then a stand-in that marks its loading, then
# the real one; the stand-in in the current directory and on the PATH must
# never be loaded.
#   records_tools.sh BINDIR   (inside the Wine session: tests/wine/session.sh run)
set -u
bin=${1:?bin directory}
cd "$bin" || exit 1
: "${WINEPREFIX:?run inside the Wine session}" "${DISPLAY:?}"

source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
header_vars tray/resource_ids.h IDC_INSPECT_LIST IDC_DELETE_LIST IDM_SETTINGS IDM_QUIT_BLOCKING || exit 1
inspect_list=$IDC_INSPECT_LIST delete_list=$IDC_DELETE_LIST

alone=$(mktemp -d /tmp/records_tools.XXXXXX)   # the program's folder, a current directory, a PATH entry
mkdir "$alone/xdg" && export XDG_DATA_HOME=$alone/xdg   # Wine's Recycle Bin, for the deleting program
viewer_pids=()
cleanup() {
    hushpane_kill
    for pid in "${viewer_pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$alone"
}
trap cleanup EXIT

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

mkdir "$alone/program" "$alone/cwd" "$alone/path"
cp Hushpane.exe Snapveil*.dll "$alone/program/"   # the library of either bitness
cp standin/Foldwright.dll "$alone/cwd/" && cp standin/Foldwright.dll "$alone/path/"
write_switches 1 0 0 0 0
(cd "$alone/cwd" && WINEPATH=$(winepath -w "$alone/path") exec wine "$alone/program/Hushpane.exe") &
hushpane_pid=$!
inspect wait shown 15000 || { echo "FAIL: Hushpane's settings window did not show"; exit 1; }
# Applied at once and shown again, so that its 15 s do not hide the window under the test.
inspect timer && inspect wait hidden 5000 && inspect command $IDM_SETTINGS && inspect wait shown 5000 ||
    { echo "FAIL: the settings window did not come back after its apply"; exit 1; }
expect_same "the lists show their items in this order, each with its folder" \
    "Inspect Cookies=0|Inspect Favorites=1|Inspect History=2|Inspect Internet Cache=3
Delete Cookies=0|Delete Favorites=1|Delete History=2|Delete Internet Cache=3" \
    "$(inspect items $inspect_list; inspect items $delete_list)"

declare -A list   # inspect|delete -> "ID X Y WIDTH HEIGHT ITEMHEIGHT" on the screen
list[inspect]="$inspect_list $(inspect rect $inspect_list)" list[delete]="$delete_list $(inspect rect $delete_list)"
# Clicks a list open and waits until its drop-down is on screen.
open_list() { # inspect|delete
    local id x y w h
    read -r id x y w h _ <<<"${list[$1]}"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    inspect wait "dropped:$id" 5000 >/dev/null || fail "the $1 list does not drop down"
}
# Picks the item at INDEX from the dropped list.
pick() { # inspect|delete, index
    local id x y w h item
    read -r id x y w h item <<<"${list[$1]}"
    open_list "$1"
    xdotool mousemove $((x + w / 2)) $((y + h + item * $2 + item / 2 + 1)) click 1
}
# Gives a list the keyboard focus without changing its selection.
focus_list() { # inspect|delete
    open_list "$1"
    xdotool key Escape
    inspect wait "closed:${list[$1]%% *}" 5000 >/dev/null || fail "the $1 list does not close"
}
settled() { inspect wait "settled:$1:$2" 10000 >/dev/null; }   # list id, index

cookies_text='This will delete all the cookie stored\r\non your machine by Internet Explorer.\r\nAre you sure you want to proceed?'
favorites_text='This will delete your Favorites list.\r\nAre you sure you want to proceed?'
history_text='This will delete your internet surfing\r\nrecords maintained by Internet Explorer.\r\nAre you sure you want to proceed?'
cache_text='This will delete all the internet files stored\r\non your machine by Internet Explorer. Are\r\nyou sure you want to proceed?'
# Waits for the next warning, checks it, answers with KEY (y or n) and waits
# for the handler to return.
answer_warning() { # what, text, key, list index
    local text
    if ! text=$(inspect box Warning 10000); then fail "$1: no warning owned by the window"; return; fi
    expect_same "$1: warning owned by the window, Yes/No with No default, and its text" \
        "owner=1 default=7 yes=1 no=1 cancel=0 $2" "$(inspect buttons Warning) $text"
    xdotool key "$3"
    settled $delete_list "$4" || fail "$1: the handler did not return"
}

# Picking the pre-selected first item (the list still reports it) does nothing;
# a warning would hold the window, and the next pick would find no list.
pick delete 0
settled $delete_list 0 || fail "the pre-selected delete item showed a warning or blocked the window"
pick inspect 0
settled $inspect_list 0 || fail "the pre-selected inspect item blocked the window"

# No library beside the program: inspect is silent, delete still warns, and
# Yes then does nothing; the stand-ins elsewhere stay unloaded.
pick inspect 2
settled $inspect_list 2 && pass "Inspect without the library is silent" ||
    fail "Inspect without the library blocked or showed something"
fill "${folder[6]}"
pick delete 1
answer_warning "Delete Favorites without the library" "$favorites_text" y 1
expect_same "Yes without the library leaves the favourites alone" "$full" "$(listing 6)"
check "no message tells of the missing library" settled $delete_list 1
check "no Foldwright.dll is loaded from the current directory or the PATH" \
    fails test -e "$alone/cwd/Foldwright.dll.loaded" -o -e "$alone/path/Foldwright.dll.loaded"
cp standin/Foldwright.dll "$alone/program/"
pick inspect 3
settled $inspect_list 3
check "the one beside the program is" test -e "$alone/program/Foldwright.dll.loaded"
kill -0 "$hushpane_pid" 2>/dev/null && pass "the window without the library survived" || fail "the window died"

# The real library from here on (each request loads and frees it).
cp Foldwright.dll "$alone/program/"
# Arrow keys on the closed list: each press is a new selection and a warning.
focus_list delete
xdotool key Down
answer_warning "Delete History" "$history_text" y 2
expect_soon "Yes empties the history folder" "" listing 34
[ -d "${folder[34]}" ] && pass "the history folder itself remains" || fail "the history folder is gone"
expect_same "the other folders keep their records" "$(printf '%s\n' "$full" "$full" "$full")" \
    "$(listing 33; listing 6; listing 32)"
# The focus went to the box and back to the window, not to the list.
focus_list delete
xdotool key Down
answer_warning "Delete Internet Cache" "$cache_text" y 3
expect_soon "Yes empties the cache folder" "" listing 32
pick delete 1
answer_warning "Delete Favorites" "$favorites_text" n 1
expect_same "No leaves the favourites alone" "$full" "$(listing 6)"
focus_list delete
xdotool key Up
answer_warning "back up to Delete Cookies" "$cookies_text" n 0
expect_same "No leaves the cookies alone" "$full" "$(listing 33)"
pick delete 1
answer_warning "back to Delete Favorites" "$favorites_text" y 1
listing_moved() { listing 6; listing "$XDG_DATA_HOME/Trash/files"; }
expect_soon "Yes moves the favourites into the Recycle Bin" "$full" listing_moved

# Inspect: a shell folder window for the folder appears; it is ours to close.
pick inspect 1
settled $inspect_list 1 || fail "Inspect Favorites blocked the window"
find_viewer() { viewer=$(xdotool search --onlyvisible --name '^Favorites$' 2>/dev/null | head -1); [ -n "$viewer" ]; }
if wait_until 20 "a Favorites window" find_viewer; then
    pass "Inspect Favorites opens a folder window"
    viewer_pid=$(xdotool getwindowpid "$viewer")
    # The pid is kept for the final clean-up only if it would not close.
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

check "the window survived every request" inspect wait shown 1000
inspect command $IDM_QUIT_BLOCKING >/dev/null
check "Hushpane quits" wait_hushpane_exit
checks_done
