# Release packages, made with `cmake --build --preset win32 --target package`:
# dist/Hushpane-<version>-setup.exe (NSIS) and dist/Hushpane-<version>.zip.
install(TARGETS Hushpane Snapveil Foldwright
        RUNTIME DESTINATION .
        LIBRARY DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_NAME "Hushpane")
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hushpane popup blocker")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Hushpane")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Hushpane")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_EXECUTABLES "Hushpane" "Hushpane")
# Per generator file names (the installer is "-setup.exe").
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageNames.cmake)

# Per-machine: the settings live under HKEY_LOCAL_MACHINE.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
set(CPACK_NSIS_DISPLAY_NAME "Hushpane ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME "Hushpane ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME "Hushpane.exe")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_HELP_LINK "${HUSHPANE_FAQ_HOST}/faq/")
set(CPACK_NSIS_MUI_FINISHPAGE_RUN "Hushpane.exe")

# A running copy holds Snapveil.dll in every hooked process: ask it to quit
# (its tray menu's "Quit Blocking" command) before files are replaced or removed.
set(HUSHPANE_NSIS_QUIT_RUNNING [=[
  FindWindow $0 "DoviZavazovu" ""
  StrCmp $0 0 +3
    SendMessage $0 ${WM_COMMAND} 1010 0
    Sleep 1000
]=])
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "${HUSHPANE_NSIS_QUIT_RUNNING}")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  MessageBox MB_YESNO|MB_ICONQUESTION "Start Hushpane automatically when Windows starts?" /SD IDYES IDNO +2
    WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "Hushpane" '"$INSTDIR\Hushpane.exe"'
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${HUSHPANE_NSIS_QUIT_RUNNING}
  DeleteRegValue HKLM \"Software\\Microsoft\\Windows\\CurrentVersion\\Run\" \"Hushpane\"
  DeleteRegKey HKLM \"Software\\Quorvane\\Hushpane\"
  DeleteRegKey /ifempty HKLM \"Software\\Quorvane\"")

include(CPack)
