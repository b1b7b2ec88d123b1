#!/bin/bash
# The browser records lists of the real settings window, end to end with real
# input: xdotool clicks and keys on Hushpane.exe's two lists, judged by the
# lists' items, each warning's owner, caption, text and buttons, and the
# browser folders on disk. The program runs from a folder of its own, where
# Foldwright.dll is first missing, then a stand-in that marks its loading, then
# the real one; the stand-in in the current directory and on the PATH must
# never be loaded.
#   records_tools.sh BINDIR   (inside the Wine session: tests/wine/session.sh run)
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
: "${WINEPREFIX:?run inside the Wine session}" "${DISPLAY:?}"
header_vars tray/resource_ids.h IDC_INSPECT_LIST IDC_DELETE_LIST IDM_SETTINGS IDM_QUIT_BLOCKING || exit 1
make_work /tmp/records_tools.XXXXXX   # the program's folder, a current directory, a PATH entry
mkdir "$work/xdg" && export XDG_DATA_HOME=$work/xdg   # Wine's Recycle Bin, for the deleting program

declare -A folder
while IFS='|' read -r csidl _ unixpath; do
    [ -n "$unixpath" ] && folder[$csidl]=$(realpath -e "$unixpath")
done < <(wine foldwright_driver.exe paths | tr -d '\r')
require "four browser folders" test ${#folder[@]} -eq 4
fill() { local f; for f; do find "$f" -mindepth 1 -delete && mkdir -p "$f/nested" &&
    echo record >"$f/record.txt" && echo record >"$f/nested/record.txt"; done; }
fill "${folder[@]}"
listing() { (cd "${folder[$1]:-$1}" && find . -mindepth 1 | sort); }   # CSIDL or folder
full=$(listing 33)

mkdir "$work/program" "$work/cwd" "$work/path"
cp Hushpane.exe Snapveil*.dll "$work/program/"   # the library of either bitness
cp standin/Foldwright.dll "$work/cwd/" && cp standin/Foldwright.dll "$work/path/"
write_switches 1 0 0 0 0
hushpane_cwd=$work/cwd WINEPATH=$(winepath -w "$work/path") \
    require "Hushpane's settings window shows" start_hushpane "$work/program/Hushpane.exe"
# Applied at once and shown again, so that its 15 s do not hide the window under the test.
inspect timer && inspect wait hidden 5000 && inspect command $IDM_SETTINGS && inspect wait shown 5000 ||
    { fail "the settings window did not come back after its apply"; exit 1; }
expect_same "the lists show their items in this order, each with its folder" \
    "Inspect Cookies=0|Inspect Favorites=1|Inspect History=2|Inspect Internet Cache=3
Delete Cookies=0|Delete Favorites=1|Delete History=2|Delete Internet Cache=3" \
    "$(inspect items $IDC_INSPECT_LIST; inspect items $IDC_DELETE_LIST)"

declare -A list   # inspect|delete -> "ID X Y WIDTH HEIGHT ITEMHEIGHT" on the screen
list[inspect]="$IDC_INSPECT_LIST $(inspect rect $IDC_INSPECT_LIST)"
list[delete]="$IDC_DELETE_LIST $(inspect rect $IDC_DELETE_LIST)"
# Clicks a list open and waits until its drop-down is on screen.
open_list() { # inspect|delete
    local id x y w h
    read -r id x y w h _ <<<"${list[$1]}"
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    inspect wait "dropped:$id" 5000 >/dev/null || fail "the $1 list does not drop down"
}
# pick inspect|delete INDEX ["what"]: picks the item at INDEX from the dropped
# list; with "what", checks that the handler returned, leaving the window free.
pick() {
    local id x y w h item
    read -r id x y w h item <<<"${list[$1]}"
    open_list "$1"
    xdotool mousemove $((x + w / 2)) $((y + h + item * $2 + item / 2 + 1)) click 1
    [ -z "${3:-}" ] || check "$3" settled "$1" "$2"
}
# key_on inspect|delete KEY: gives a list the keyboard focus without changing
# its selection, then presses KEY on the closed list.
key_on() {
    open_list "$1"
    xdotool key Escape
    inspect wait "closed:${list[$1]%% *}" 5000 >/dev/null || fail "the $1 list does not close"
    xdotool key "$2"
}
settled() { inspect wait "settled:${list[$1]%% *}:$2" 10000 >/dev/null; }   # inspect|delete, index

warning=('This will delete all the cookie stored\r\non your machine by Internet Explorer.\r\nAre you sure you want to proceed?'
    'This will delete your Favorites list.\r\nAre you sure you want to proceed?'
    'This will delete your internet surfing\r\nrecords maintained by Internet Explorer.\r\nAre you sure you want to proceed?'
    'This will delete all the internet files stored\r\non your machine by Internet Explorer. Are\r\nyou sure you want to proceed?')
# warns "what" KEY INDEX COMMAND...: the command selects the delete list's item
# INDEX; its warning is checked and answered with KEY (y or n), and the handler returns.
warns() {
    local text
    "${@:4}"
    if ! text=$(inspect box Warning 10000); then fail "$1: no warning owned by the window"; return; fi
    expect_same "$1: warning owned by the window, Yes/No with No default, and its text" \
        "owner=1 default=7 yes=1 no=1 cancel=0 ${warning[$3]}" "$(inspect buttons Warning) $text"
    xdotool key "$2"
    settled delete "$3" || fail "$1: the handler did not return"
}

# Picking the pre-selected first item (the list still reports it) does nothing;
# a warning would hold the window, and the next pick would find no list.
pick delete 0 "the pre-selected delete item shows no warning and leaves the window free"
pick inspect 0 "the pre-selected inspect item leaves the window free"

# No library beside the program: inspect is silent, delete still warns, and
# Yes then does nothing; the stand-ins elsewhere stay unloaded.
pick inspect 2 "Inspect without the library is silent"
fill "${folder[6]}"
warns "Delete Favorites without the library" y 1 pick delete 1
expect_same "Yes without the library leaves the favourites alone" "$full" "$(listing 6)"
check "no message tells of the missing library" settled delete 1
check "no Foldwright.dll is loaded from the current directory or the PATH" \
    fails test -e "$work/cwd/Foldwright.dll.loaded" -o -e "$work/path/Foldwright.dll.loaded"
cp standin/Foldwright.dll "$work/program/"
pick inspect 3 "Inspect with the stand-in library returns"
check "the one beside the program is" test -e "$work/program/Foldwright.dll.loaded"
check "the window without the library survived" kill -0 "$hushpane_pid"

# The real library from here on (each request loads and frees it).
cp Foldwright.dll "$work/program/"
# Arrow keys on the closed list: each press is a new selection and a warning.
warns "Delete History" y 2 key_on delete Down
expect_soon "Yes empties the history folder" "" listing 34
check "the history folder itself remains" test -d "${folder[34]}"
expect_same "the other folders keep their records" "$(printf '%s\n' "$full" "$full" "$full")" \
    "$(listing 33; listing 6; listing 32)"
# The focus went to the box and back to the window, not to the list.
warns "Delete Internet Cache" y 3 key_on delete Down
expect_soon "Yes empties the cache folder" "" listing 32
warns "Delete Favorites" n 1 pick delete 1
expect_same "No leaves the favourites alone" "$full" "$(listing 6)"
warns "back up to Delete Cookies" n 0 key_on delete Up
expect_same "No leaves the cookies alone" "$full" "$(listing 33)"
warns "back to Delete Favorites" y 1 pick delete 1
listing_moved() { listing 6; listing "$XDG_DATA_HOME/Trash/files"; }
expect_soon "Yes moves the favourites into the Recycle Bin" "$full" listing_moved

# Inspect: a shell folder window for the folder appears; it is ours to close.
pick inspect 1 "Inspect Favorites leaves the window free"
find_viewer() { viewer=$(window_named Favorites); [ -n "$viewer" ]; }
if check "Inspect Favorites opens a folder window" wait_until 20 "a Favorites window" find_viewer; then
    viewer_pid=$(xdotool getwindowpid "$viewer")
    # The pid is kept for the final clean-up only if it would not close.
    check "the folder window closes" quiet wine foldwright_driver.exe close Favorites || started+=("$viewer_pid")
else
    for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do echo "  window: $(xdotool getwindowname "$w")"; done
    pgrep -a -f 'explorer.exe C:' | sed 's/^/  process: /'
fi
check "the pre-selected inspect item opened nothing" test -z "$(window_named INetCookies)"

check "the window survived every request" inspect wait shown 1000
inspect command $IDM_QUIT_BLOCKING >/dev/null
check "Hushpane quits" wait_hushpane_exit
checks_done
