# Cross build for 32-bit Windows with MinGW-w64; Windows test programs run under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(HUSHPANE_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
