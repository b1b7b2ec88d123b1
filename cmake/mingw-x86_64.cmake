# Cross build for 64-bit Windows with MinGW-w64: Snapveil64.dll and its host,
# and the 64-bit test programs, run under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(HUSHPANE_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
