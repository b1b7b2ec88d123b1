#!/bin/bash
# Foldwright.dll's cleaning, set up and judged from the Unix side: links can
# only be made with `ln -s` under Wine, and a listing of the disk is the one
# honest witness of what was deleted. Each browser folder gets files, nested
# folders, links to things outside it and a read-only file; cleaning must
# empty exactly that folder (the favourites into the Recycle Bin, Wine's XDG
# trash), keep the folder, every link's target and what other programs keep
# in the cache, skip what is in use or read-only, and refuse every input that
# is not one of the four folders or that resolves somewhere unsafe.
#   foldwright_clean.sh BINDIR   (inside the Wine session: tests/wine/session.sh run)
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
: "${WINEPREFIX:?run inside the Wine session}"
driver() { wine foldwright_driver.exe "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
make_work "$(dirname "$WINEPREFIX")/foldwright_clean.XXXXXX"   # beside the prefix: its drive is as fixed as C:
export XDG_DATA_HOME=$work/xdg      # Wine's Recycle Bin, for each wine process; it must exist
drive="$WINEPREFIX/dosdevices/q:"   # a drive letter of this test's own, in its sandbox
other="$WINEPREFIX/drive_c/users/Public/foldwright_other"   # in the profiles, but not the user's
network="$WINEPREFIX/dosdevices/n:" network_target=$(readlink "$WINEPREFIX/dosdevices/n:")
declare -A folder win probe
scratch+=("$drive" "$other")   # and the probes and siblings made below
at_exit() {
    [ -n "$network_target" ] && ln -sfn "$network_target" "$network"
    # What a refused or kept case left in the browser folders is not the next test's.
    for f in "${folder[@]}"; do find "$f" -mindepth 1 -delete; done
}

# The folders as the DLL resolves them.
prefix=$(realpath "$WINEPREFIX")
while IFS='|' read -r csidl winpath unixpath; do
    [ -n "$unixpath" ] || continue
    real=$(realpath -e "$unixpath")
    require "$winpath exists, inside the prefix: $real" test -n "$real" -a "${real#"$prefix"/}" != "$real"
    folder[$csidl]=$real win[$csidl]=$winpath
done < <(driver paths)
require "four browser folders: ${folder[*]}" test ${#folder[@]} -eq 4

# Fills one folder; what it links to lives in $work/outside/<csidl>.
populate() {
    local f=$1 o=$work/outside/$2
    find "$f" -mindepth 1 -delete
    mkdir -p "$o/dir" "$o/empty" "$f/nested/deeper"
    echo keep >"$o/dir/keep.txt"; echo keep >"$o/file.txt"
    echo a >"$f/a.txt"; head -c 70000 /dev/zero >"$f/b.dat"
    echo c >"$f/nested/c.txt"; echo d >"$f/nested/deeper/d.txt"
    ln -s "$o/dir" "$f/link_dir"; ln -s "$o/file.txt" "$f/link_file"
    ln -s "$o/empty" "$f/nested/link_empty"; ln -s /nonexistent-foldwright-target "$f/dangling"
    echo r >"$f/readonly.txt"; chmod a-w "$f/readonly.txt"
    scratch+=("$(dirname "$f")/sibling_of_$(basename "$f").txt"); echo s >"${scratch[-1]}"
}

listing() { (cd "$1" && find . -mindepth 1 -printf '%p %y\n' | sort); }
listings() { local c; for c; do listing "${folder[$c]}"; done; }   # CSIDL...

# Everything a wrong delete could reach: the profile, the test's own areas;
# Temp is Wine's scratch, and the four folders are judged on their own.
snapshot() {
    local csidl prune=(-path "$WINEPREFIX/drive_c/users/*/Temp" -prune -o -path "$XDG_DATA_HOME" -prune)
    for csidl in "$@"; do prune+=(-o -path "${folder[$csidl]}" -prune); done
    find "$(realpath "$WINEPREFIX/drive_c/users")" "$work" \( "${prune[@]}" \) -o -printf '%p %y %s %l\n' | sort
}

for csidl in "${!folder[@]}"; do populate "${folder[$csidl]}" "$csidl"; done
mkdir -p "${folder[34]}/inuse" "${folder[32]}/Content.Outlook/K3X9" "${folder[32]}/OLK5A1"
echo held >"${folder[34]}/inuse/held.txt"; echo other >"${folder[34]}/inuse/other.txt"
echo draft >"${folder[32]}/Content.Outlook/K3X9/draft.doc"; echo reply >"${folder[32]}/OLK5A1/reply.txt"

# A sandbox drive for the redirections, so that a wrong clean harms nothing real.
for d in xdg/Trash q q/area q/area/docs q/area/docs/fav q/area/pics q/roam q/linktarget q/browser q/browser/cookies n/fav; do
    mkdir -p "$work/$d" && echo sentinel >"$work/$d/sentinel.txt"
done
ln -s "$work/q/linktarget" "$work/q/linked"
mkdir -p "$other" && echo sentinel >"$other/sentinel.txt"
require "drive q: free in this prefix" fails test -e "$drive"
require "the session declares a network drive n:" test -n "$network_target"
ln -s "$work/q" "$drive" && ln -sfn "$work/n" "$network"

before=$(snapshot)
before_folders=$(listings "${!folder[@]}")

# Refused folder numbers: Windows, profile, desktop, nonsense, documents,
# application data, desktop directory.
driver clean 0x24 0x28 0x00 -1 9999 0x05 0x1A 0x10 >/dev/null || fail "driver could not call HLCleanFolder"
expect_same "unknown folder numbers touch nothing" "$before" "$(snapshot)"

# Refused places, arranged through the shell folder registry values, which
# Wine honours: a drive root, a folder that is a link, a folder holding the
# documents folder or inside it, the application data folder itself, a folder
# holding another browser folder, the pictures folder, a network drive, another's profile.
redirect() { # description, args
    local what=$1 out; shift
    if out=$(driver redirect "$@"); then expect_same "$what is refused" "$before" "$(snapshot)"; else fail "$what: $out"; fi
}
redirect "a drive root" 0x21 'Cookies=Q:\'
redirect "a folder that is a link" 0x21 'Cookies=Q:\linked'
redirect "a folder holding the documents folder" 0x22 'History=Q:\area' 'Personal=Q:\area\docs'
redirect "the application data folder" 0x20 'Cache=Q:\roam' 'AppData=Q:\roam'
redirect "a folder holding another browser folder" 0x22 'History=Q:\browser' 'Cookies=Q:\browser\cookies'
redirect "a folder inside the documents folder" 0x06 'Favorites=Q:\area\docs\fav' 'Personal=Q:\area\docs'
redirect "the pictures folder" 0x06 'Favorites=Q:\area\pics' 'My Pictures=Q:\area\pics'
redirect "a folder on a network drive" 0x06 'Favorites=N:\fav'
redirect "a folder in the profiles folder outside the user's" 0x06 'Favorites=C:\users\Public\foldwright_other'
# Before Vista nothing tells where a path leads, so any link along it refuses it.
check "a link in a middle part of a path is seen" driver crosses 'Q:\linked\sentinel.txt'
check "a plain path crosses no link" fails driver crosses 'Q:\area\docs'
# Nothing in the system or program files folders is emptied; the same folder
# below the Windows folder (where 9x keeps the cache) is.
while IFS='|' read -r csidl _ unixpath; do probe[$csidl]=$unixpath/foldwright_probe; done < <(driver paths 0x25 0x26 0x24)
for p in "${probe[@]}"; do mkdir -p "$p/sub" && echo p >"$p/sub/p.txt" && scratch+=("$p"); done
probe_full=$(listing "${probe[37]}")
redirect "a folder in the system folder" 0x21 'Cookies=@system\foldwright_probe'
redirect "a folder in the program files folder" 0x20 'Cache=@programfiles\foldwright_probe'
expect_same "the probes there keep everything" "$probe_full"$'\n'"$probe_full" \
    "$(listing "${probe[37]}"; listing "${probe[38]}")"
driver redirect 0x22 'History=@windows\foldwright_probe' >/dev/null || fail "redirecting history failed"
expect_same "the probe below the Windows folder is emptied" "" "$(listing "${probe[36]}")"
# The real profile and Windows folders last, once the sandboxed cases held.
sandboxed_failed=$failed
unsandboxed() { if [ "$sandboxed_failed" -eq 0 ]; then redirect "$@"; else fail "skipped $1 after a failure"; fi; }
unsandboxed "the profile folder" 0x06 'Favorites=@profile'
unsandboxed "the Windows folder" 0x21 'Cookies=@windows'
expect_same "the browser folders are untouched by refusals" "$before_folders" "$(listings "${!folder[@]}")"

# What stays after a clean under Wine: the links (Wine deletes a link's target
# whatever the flags, so the DLL leaves them), the folders holding them, and
# the read-only file.
kept=$(printf '%s\n' './dangling l' './link_dir l' './link_file l' './nested d' './nested/link_empty l' './readonly.txt f')

outside_before=$(snapshot "${!folder[@]}")
order=(33 6 32 34)   # each cleaning is judged on the folders not cleaned yet
for i in "${!order[@]}"; do
    csidl=${order[i]} others=("${order[@]:i+1}")
    others_before=$(listings "${others[@]}") own_before=$(listing "${folder[$csidl]}") expected=$kept what="folder $csidl"
    [ "$csidl" = 34 ] || driver clean "$csidl" >/dev/null || fail "clean $csidl failed"
    case $csidl in
    34) driver hold "${win[34]}\\inuse\\held.txt" 34 >/dev/null || fail "holding a file failed"
        expected=$(printf '%s\n' "$kept" './inuse d' './inuse/held.txt f' | sort) what="history, with a file in use" ;;
    32) expected=$(printf '%s\n' "$kept" ./Content.Outlook{,/K3X9}' d' ./Content.Outlook/K3X9/draft.doc' f' \
            ./OLK5A1' d' ./OLK5A1/reply.txt' f' | sort) what="the cache (not Outlook's nor Office's)" ;;
    6) expected=$(grep -E '^\./[^/]+ l$' <<<"$own_before") what="the favourites (to the bin)"
        expect_same "the rest of the favourites is in the Recycle Bin, links unfollowed" \
            "$(grep -vE '^\./[^/]+ l$' <<<"$own_before")" "$(listing "$XDG_DATA_HOME/Trash/files")" ;;
    esac
    [ -d "${folder[$csidl]}" ] && [ ! -L "${folder[$csidl]}" ] || fail "$what: the folder itself is gone"
    expect_same "$what is emptied but for links, read-only and in-use entries" "$expected" "$(listing "${folder[$csidl]}")"
    expect_same "cleaning $csidl leaves the other folders alone" "$others_before" "$(listings "${others[@]}")"
done
# Before Vista no final path tells a link from its target, and the 2000 and XP
# shells follow junctions when they erase the bin, so the links in a folder go
# first and a folder keeping one stays. Wine removes a link's target instead,
# so only links it cannot remove (to full folders) are left in this scene.
populate "${folder[6]}" 6 && rm "${folder[6]}"/{link_file,nested/link_empty} && rm -rf "$XDG_DATA_HOME"/Trash/{files,info}
ln -s "$work/outside/6/dir" "${folder[6]}/nested/deeper/link_dir" && mkdir "${folder[6]}/plain" && echo p >"${folder[6]}/plain/p.txt"
own_before=$(listing "${folder[6]}") stays='^\./(dangling|link_dir|nested)'
driver recycle "${win[6]}" >/dev/null || fail "recycling without final paths failed"
expect_same "without final paths a folder keeping a link stays" "$(grep -E "$stays" <<<"$own_before")" \
    "$(listing "${folder[6]}")"
expect_same "and the rest goes to the Recycle Bin" "$(grep -vE "$stays" <<<"$own_before")" \
    "$(listing "$XDG_DATA_HOME/Trash/files")"
expect_same "nothing outside the folders changed, link targets included" "$outside_before" "$(snapshot "${!folder[@]}")"
for o in "$work"/outside/*; do
    check "the link targets of folder ${o##*/} remain" test -f "$o/dir/keep.txt" -a -f "$o/file.txt" -a -d "$o/empty"
done
checks_done
