# Read by CPack for each generator: the installer and the zip get distinct names.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "Hushpane-${CPACK_PACKAGE_VERSION}-setup")
else()
    set(CPACK_PACKAGE_FILE_NAME "Hushpane-${CPACK_PACKAGE_VERSION}")
endif()
