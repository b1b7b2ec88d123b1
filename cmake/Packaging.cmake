# Release packages, made with `cmake --build --preset win32 --target package`:
# dist/Hushpane-<version>-setup.exe (NSIS) and dist/Hushpane-<version>.zip.
install(TARGETS Hushpane Snapveil Foldwright RUNTIME DESTINATION .)
# The 64-bit pair, built beside them by the 64-bit part.
list(TRANSFORM HUSHPANE_PAIR_64 PREPEND ${HUSHPANE_BIN_DIR}/ OUTPUT_VARIABLE pair64_files)
install(PROGRAMS ${pair64_files} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_GENERATOR "NSIS;ZIP")
# The NSIS snippets below hold quotes and dollars that must reach the script as written.
set(CPACK_VERBATIM_VARIABLES YES)
set(CPACK_PACKAGE_NAME "Hushpane")
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hushpane popup blocker")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Hushpane")
# The program's settings key, as the program names it, and the maker's key
# above it, which also holds the installer's own bookkeeping key.
hushpane_header_string(HUSHPANE_SETTINGS_KEY settings/settings_store.h SETTINGS_KEY)
hushpane_header_string(HUSHPANE_MAKER_KEY settings/settings_store.h SETTINGS_MAKER_KEY)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Hushpane Setup")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES YES)
set(CPACK_PACKAGE_EXECUTABLES "Hushpane" "Hushpane")
# Per generator file names (the installer is "-setup.exe").
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageNames.cmake)

# Per-machine: the settings live under HKEY_LOCAL_MACHINE.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY ".")
set(CPACK_NSIS_DISPLAY_NAME "Hushpane ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME "Hushpane ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME "Hushpane.exe")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/tray/resources/program.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/tray/resources/program.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The finish page starts Hushpane as the signed-in user, unelevated: a copy
# started by the elevated installer itself would make its session objects
# and its window elevated, out of reach of the user's own programs and of
# Explorer's messages to its icon. From Vista on the running shell starts it
# for the installer; where no shell runs (it crashed, or another shell is in
# use), an elevated explorer.exe would become the shell and start Hushpane
# elevated, so nothing starts then and the page says when it will. Before
# Vista there is nothing to shed, and explorer.exe's handling of a program
# argument is undocumented: the program starts directly.
set(CPACK_NSIS_DEFINES [=[
!include LogicLib.nsh
!include WinVer.nsh
!define MUI_STARTMENUPAGE_DEFAULTFOLDER "Hushpane"
Var HushpaneFinishText
Var HushpaneHeldFiles
!define MUI_FINISHPAGE_TEXT "$HushpaneFinishText"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION HushpaneStartAsUser
Function HushpaneStartAsUser
  ${IfNot} ${AtLeastWinVista}
    Exec '"$INSTDIR\Hushpane.exe"'
  ${Else}
    FindWindow $0 "Shell_TrayWnd"
    ${If} $0 <> 0
      Exec '"$WINDIR\explorer.exe" "$INSTDIR\Hushpane.exe"'
    ${EndIf}
  ${EndIf}
FunctionEnd
]=])
set(CPACK_NSIS_HELP_LINK "${HUSHPANE_FAQ_URL}")

# The window class and the quit command, as the program defines them.
hushpane_header_string(HUSHPANE_WINDOW_CLASS tray/program_state.h SETTINGS_WINDOW_CLASS)
file(STRINGS ${PROJECT_SOURCE_DIR}/tray/resource_ids.h quit_line REGEX "^#define IDM_QUIT_BLOCKING ")
string(REGEX REPLACE ".* ([0-9]+)$" "\\1" HUSHPANE_QUIT_COMMAND "${quit_line}")
# The 64-bit host's one-per-session mutex, in the session's namespace.
hushpane_header_string(session_prefix platform/session_namespace.h SESSION_NAMESPACE_PREFIX)
hushpane_header_string(host_mutex hooking/host_program.h HOST_ONE_HOST_MUTEX)
set(HUSHPANE_HOST_MUTEX "${session_prefix}${host_mutex}")

# A running copy holds its files and has its hooks in every process with a
# window: send it its tray menu's "Quit Blocking" command (WM_COMMAND, lParam
# 0) and wait for the process to end before files are replaced or removed. A
# window that does not answer (hung, or another program's of the same class)
# holds neither step up for more than a few seconds. The 64-bit host ends
# within 2 s of Hushpane's end: wait for its one-per-session mutex to be
# given up, as long, and give it back at once (taken, it would turn away the
# host of a copy started after the install).
function(hushpane_nsis_quit_running out prefix)
    set(${out} "
  FindWindow $0 \"${HUSHPANE_WINDOW_CLASS}\"
  StrCmp $0 0 ${prefix}_not_running
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    SendMessage $0 0x0111 ${HUSHPANE_QUIT_COMMAND} 0 /TIMEOUT=5000
    System::Call 'kernel32::WaitForSingleObject(p r2, i 10000)'
    System::Call 'kernel32::CloseHandle(p r2)'
  ${prefix}_not_running:
  System::Call 'kernel32::OpenMutexA(i 0x00100000, i 0, t \"${HUSHPANE_HOST_MUTEX}\") p .r2'
  StrCmp $2 0 ${prefix}_no_host
    System::Call 'kernel32::WaitForSingleObject(p r2, i 5000)'
    System::Call 'kernel32::ReleaseMutex(p r2)'
    System::Call 'kernel32::CloseHandle(p r2)'
  ${prefix}_no_host:
" PARENT_SCOPE)
endfunction()

# A binary still held 3 s after the quit step (another process has a hook
# library loaded; another user's copy runs) is renamed beside itself (a name
# of its own, on the same volume), which Windows allows for a file in use,
# and that name is deleted at the next start of Windows. The file's own name
# is never scheduled: a version installed before then keeps its file.
# $HushpaneHeldFiles counts them.
function(hushpane_nsis_set_aside_held out binary prefix)
    set(${out} "
  StrCpy $1 0
  ${prefix}_delete:
    IfFileExists \"$INSTDIR\\${binary}\" 0 ${prefix}_done
    ClearErrors
    Delete \"$INSTDIR\\${binary}\"
    IfErrors 0 ${prefix}_done
    IntOp $1 $1 + 1
    IntCmp $1 30 ${prefix}_held
    Sleep 100
    Goto ${prefix}_delete
  ${prefix}_held:
    GetTempFileName $2 \"$INSTDIR\"
    Delete $2
    ClearErrors
    Rename \"$INSTDIR\\${binary}\" $2
    IfErrors ${prefix}_done
    Delete /REBOOTOK $2
    IntOp $HushpaneHeldFiles $HushpaneHeldFiles + 1
  ${prefix}_done:
" PARENT_SCOPE)
endfunction()

# Each shipped binary in turn: an upgrade or an uninstall may find any of them
# held, the hook libraries by other processes and every one by another
# signed-in user's copy, which the quit step (this session's window) cannot
# reach. Where any was held, the commands in `held` and the message that says
# what the restart finishes.
function(hushpane_nsis_set_aside_all out stage held message)
    set(commands "\n  StrCpy $HushpaneHeldFiles 0")
    foreach(binary IN LISTS HUSHPANE_SHIPPED_BINARIES)
        string(MAKE_C_IDENTIFIER "hushpane_${stage}_${binary}" prefix)
        hushpane_nsis_set_aside_held(set_aside ${binary} ${prefix})
        string(APPEND commands "${set_aside}")
    endforeach()
    string(APPEND commands "
  IntCmp $HushpaneHeldFiles 0 hushpane_${stage}_none_held${held}
    SetRebootFlag true
    MessageBox MB_OK|MB_ICONINFORMATION \"${message}\" /SD IDOK
  hushpane_${stage}_none_held:
")
    set(${out} "${commands}" PARENT_SCOPE)
endfunction()

hushpane_nsis_quit_running(quit_before_install install)
hushpane_nsis_set_aside_all(set_aside_before_install install ""
    "Some of Hushpane's files are still in use, by another user's Hushpane or by programs that had its hooks. The new version is in place; restart Windows to finish the update.")
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "${quit_before_install}${set_aside_before_install}")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  StrCpy $HushpaneFinishText "$(MUI_TEXT_FINISH_INFO_TEXT)"
  StrCpy $0 "Start it from the Start menu once you have signed in again."
  MessageBox MB_YESNO|MB_ICONQUESTION "Start Hushpane automatically when Windows starts?" /SD IDYES IDNO hushpane_no_autostart
    WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "Hushpane" '"$INSTDIR\Hushpane.exe"'
    StrCpy $0 "It starts by itself the next time you sign in."
  hushpane_no_autostart:
  FindWindow $1 "Shell_TrayWnd"
  ${If} ${AtLeastWinVista}
  ${AndIf} $1 = 0
    StrCpy $HushpaneFinishText "Hushpane has been installed on your computer.$\r$\n$\r$\nIt cannot be started from here while no Windows shell is running. $0"
  ${EndIf}
]=])

hushpane_nsis_quit_running(quit_before_uninstall uninstall)
# Other processes keep a hook library loaded a while after the hooks are
# gone (Wine's until the session ends), and another user's copy keeps all;
# where any was held, the folder goes at the next start as well.
hushpane_nsis_set_aside_all(set_aside_before_uninstall uninstall "\n    RMDir /REBOOTOK \"$INSTDIR\""
    "Some of Hushpane's files are still in use, by another user's Hushpane or by programs that had its hooks. Restart Windows to finish removing them.")
# An upgrade runs the installed uninstaller where it lies; the user's runs it
# from a copy in TEMP. Only the user's takes the settings with it: an upgrade
# keeps the switches and the programs left alone.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${quit_before_uninstall}${set_aside_before_uninstall}
  DeleteRegValue HKLM \"Software\\Microsoft\\Windows\\CurrentVersion\\Run\" \"Hushpane\"
  StrCmp $EXEDIR $INSTDIR hushpane_settings_kept
  DeleteRegKey HKLM \"${HUSHPANE_SETTINGS_KEY}\"
  hushpane_settings_kept:
  DeleteRegKey HKLM \"${HUSHPANE_MAKER_KEY}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
  DeleteRegKey /ifempty HKLM \"${HUSHPANE_MAKER_KEY}\"")

include(CPack)
