#!/bin/bash
# The release packages: the zip holds exactly the shipped binaries and the
# README; the installer, run silently, puts them under Program Files with a
# Start menu entry and the start-with-Windows value, the installed copy starts
# and blocks; an upgrade keeps the settings; an upgrade and the uninstall while
# another user's copy holds the program set it aside for the restart, and the
# silent uninstaller quits this session's copy and removes what was put there.
#   package_test.sh BIN_DIR CPACK VERSION BINARY...
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
cpack=${2:?cpack} version=${3:?version} binaries=${*:4}
build=$(dirname "$bin")
make_work
probe_lines=$work/probe.txt

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
target="$(winepath -u 'C:\Program Files\Hushpane' 2>/dev/null | tr -d '\r')"
start_menu="$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs' 2>/dev/null | tr -d '\r')"

echo "-- packages"
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/dist" >"$work/cpack.log" 2>&1 || cat "$work/cpack.log"
setup="$work/dist/Hushpane-$version-setup.exe"
zip="$work/dist/Hushpane-$version.zip"
check "installer made" test -s "$setup"
check "zip made" test -s "$zip"
expect_same "zip holds exactly the shipped binaries and the README" "$(printf '%s\n' $binaries README.md | sort | paste -sd " ")" \
    "$(unzip -Z1 "$zip" 2>/dev/null | sort | paste -sd " ")"
# Finish page: the program itself before Vista; from Vista on through the
# running shell only, for an elevated explorer.exe would become the shell.
expect_same "the finish page's start: direct before Vista, by the shell where one runs, else none" \
    "\${IfNot} \${AtLeastWinVista};Exec '\"\$INSTDIR\\Hushpane.exe\"';\${Else};FindWindow \$0 \"Shell_TrayWnd\";\${If} \$0 <> 0;Exec '\"\$WINDIR\\explorer.exe\" \"\$INSTDIR\\Hushpane.exe\"';\${EndIf};\${EndIf}" \
    "$(sed -n '/^Function HushpaneStartAsUser/,/^FunctionEnd/{s/^ *//;/Function/d;p}' "$work/dist/_CPack_Packages/win32/NSIS/project.nsi" | paste -sd';')"

echo "-- silent install"
quiet wine reg delete "$settings_key" /f
timed wine "$(winepath -w "$setup" | tr -d '\r')" /S
check "installer exits with 0 (got $code after $ms ms)" test "$code" = 0
for file in $binaries; do
    check "$file installed" test -s "$target/$file"
    read -r fixed file_version product < <(inspect version "C:\\Program Files\\Hushpane\\$file")
    check "$file carries version $version ($fixed, $file_version, $product)" \
        test "$fixed" = "$version" -a "$file_version" = "$version" -a "$product" = Hushpane
done
check "uninstaller installed" test -s "$target/Uninstall.exe"
check "Start menu entry" test -s "$start_menu/Hushpane/Hushpane.lnk"
check "starts with Windows" wine reg query "$run_key" /v Hushpane

echo "-- the installed copy blocks"
check "installed Hushpane shows its window" start_hushpane 'C:\Program Files\Hushpane\Hushpane.exe'
# Enter presses OK, which has the focus: apply, and off into the tray.
xdotool search --sync --onlyvisible --name '^Hushpane$' windowfocus --sync >/dev/null 2>&1
xdotool key Return
check "applied and hidden" inspect wait hidden 15000
check "a browser frame in another process is vetoed" probe_ok 1 IEFrame

echo "-- an upgrade while another user's copy holds the program"
# Wine has one session: the closest stand-in for another session's copy is a
# process with the program mapped as an image, which no window names.
hold_stop=$work/hold.stop
wine hushpane_query.exe hold 'C:\Program Files\Hushpane\Hushpane.exe' "$hold_stop" >"$work/hold.txt" 2>&1 &
started+=($!)
check "Hushpane.exe held by another process" wait_until 30 "the hold" grep -q '^held' "$work/hold.txt"
held_inode=$(stat -c %i "$target/Hushpane.exe")
quiet wine reg add "$settings_key" /v Exceptions /t REG_MULTI_SZ /d ledger.exe /f   # kept, then goes with the key
timed wine "$(winepath -w "$setup" | tr -d '\r')" /S
check "the upgrade exits with 0 (got $code after $ms ms)" test "$code" = 0
check "a new Hushpane.exe in place" test -s "$target/Hushpane.exe" -a "$(stat -c %i "$target/Hushpane.exe")" != "$held_inode"
set_aside=$(find "$target" -maxdepth 1 -inum "$held_inode" -printf '%f\n')
pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null)
check "the held one set aside as $set_aside, due at restart" grep -qi "Hushpane\\\\$set_aside" <<<"${pending:-none}"
check "the upgrade keeps the settings" quiet wine reg query "$settings_key" /v Exceptions
check "the upgraded copy shows its window" start_hushpane 'C:\Program Files\Hushpane\Hushpane.exe'
xdotool search --sync --onlyvisible --name '^Hushpane$' windowfocus --sync >/dev/null 2>&1
xdotool key Return
check "applied and hidden after the upgrade" inspect wait hidden 15000

echo "-- silent uninstall"
wine 'C:\Program Files\Hushpane\Uninstall.exe' /S
# The uninstaller runs on from a copy of itself (Au_.exe): wait for it to end.
wait_until 60 "the uninstaller to remove itself" test ! -e "$target/Uninstall.exe"
wait_until 30 "the uninstaller to end" fails pgrep -f 'Au_\.exe'
check "the running copy quits with 0" wait_hushpane_exit
check "no Hushpane window left" inspect wait gone 2000
for file in $binaries Uninstall.exe; do
    check "$file removed" test ! -e "$target/$file"
done
# A held binary is renamed beside itself, that name alone due at the next start: never a binary's own name.
pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null)
left=$(ls -A "$target" 2>/dev/null) due=$(grep -oi 'Hushpane\\[^\\]*' <<<"$pending" | cut -c10- | sort -u)
check "install folder removed, or holding only what is due at restart: $(echo $left)" test \( -n "$left" -o ! -e "$target" \) \
    -a -z "$(comm -23 <(printf '%s' "$left" | sort) <(echo "$due"))" \
    -a -z "$(grep -ixE "$(sed 's/\./\\./g; s/ /|/g' <<<"$binaries")" <<<"$due")"
touch "$hold_stop"
check "Start menu entry removed" test ! -e "$start_menu/Hushpane"
check "start-with-Windows value removed" fails wine reg query "$run_key" /v Hushpane
check "settings key removed" fails wine reg query "$settings_key"
check "no empty maker's key left" fails wine reg query "$maker_key"
check "nothing blocked after the uninstall" probe_ok 0 IEFrame

checks_done
