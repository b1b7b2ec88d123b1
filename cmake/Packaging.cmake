# Release packages, made with `cmake --build --preset win32 --target package`:
# dist/Hushpane-<version>-setup.exe (NSIS) and dist/Hushpane-<version>.zip.
install(TARGETS Hushpane Snapveil Foldwright
        RUNTIME DESTINATION .
        LIBRARY DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_GENERATOR "NSIS;ZIP")
# The NSIS snippets below hold quotes and dollars that must reach the script as written.
set(CPACK_VERBATIM_VARIABLES YES)
set(CPACK_PACKAGE_NAME "Hushpane")
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hushpane popup blocker")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Hushpane")
# The installer's own bookkeeping key; the program's settings key
# (Software\Quorvane\Hushpane) holds nothing but its five switches.
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
# The finish page starts Hushpane through the shell, so that it runs as the
# signed-in user, unelevated: a copy started by the elevated installer itself
# would make its session objects and its window elevated, out of reach of
# the user's own programs and of Explorer's messages to its icon.
set(CPACK_NSIS_DEFINES [=[
!define MUI_STARTMENUPAGE_DEFAULTFOLDER "Hushpane"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION HushpaneStartAsUser
Function HushpaneStartAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Hushpane.exe"'
FunctionEnd
]=])
set(CPACK_NSIS_HELP_LINK "https://${HUSHPANE_FAQ_HOST}/faq/")

# The window class and the quit command, as the program defines them.
file(STRINGS ${PROJECT_SOURCE_DIR}/tray/program_state.h class_line
     REGEX "^#define SETTINGS_WINDOW_CLASS ")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" HUSHPANE_WINDOW_CLASS "${class_line}")
file(STRINGS ${PROJECT_SOURCE_DIR}/tray/resource_ids.h quit_line REGEX "^#define IDM_QUIT_BLOCKING ")
string(REGEX REPLACE ".* ([0-9]+)$" "\\1" HUSHPANE_QUIT_COMMAND "${quit_line}")

# A running copy holds its files and has its hooks in every process with a
# window: send it its tray menu's "Quit Blocking" command (WM_COMMAND, lParam
# 0) and wait for the process to end before files are replaced or removed. A
# window that does not answer (hung, or another program's of the same class)
# holds neither step up for more than a few seconds.
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
" PARENT_SCOPE)
endfunction()

hushpane_nsis_quit_running(quit_before_install install)
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "${quit_before_install}")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  MessageBox MB_YESNO|MB_ICONQUESTION "Start Hushpane automatically when Windows starts?" /SD IDYES IDNO hushpane_no_autostart
    WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "Hushpane" '"$INSTDIR\Hushpane.exe"'
  hushpane_no_autostart:
]=])

hushpane_nsis_quit_running(quit_before_uninstall uninstall)
# Other processes keep the hook library loaded a while after the hooks are
# gone (Wine's until the session ends). A library still held after 3 s is
# renamed beside itself (a name of its own, on the same volume), and that name
# and the install folder are deleted at the next start of Windows. Snapveil.dll
# itself is never scheduled: a version installed before then keeps its library.
set(HUSHPANE_NSIS_REMOVE_LIBRARY [=[
  StrCpy $1 0
  hushpane_delete_library:
    ClearErrors
    Delete "$INSTDIR\Snapveil.dll"
    IfErrors 0 hushpane_library_done
    IntOp $1 $1 + 1
    IntCmp $1 30 hushpane_library_held
    Sleep 100
    Goto hushpane_delete_library
  hushpane_library_held:
    GetTempFileName $2 "$INSTDIR"
    Delete $2
    ClearErrors
    Rename "$INSTDIR\Snapveil.dll" $2
    IfErrors hushpane_library_done
    Delete /REBOOTOK $2
    RMDir /REBOOTOK "$INSTDIR"
  hushpane_library_done:
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${quit_before_uninstall}${HUSHPANE_NSIS_REMOVE_LIBRARY}
  DeleteRegValue HKLM \"Software\\Microsoft\\Windows\\CurrentVersion\\Run\" \"Hushpane\"
  DeleteRegKey HKLM \"Software\\Quorvane\\Hushpane\"
  DeleteRegKey HKLM \"Software\\Quorvane\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
  DeleteRegKey /ifempty HKLM \"Software\\Quorvane\"")

include(CPack)
