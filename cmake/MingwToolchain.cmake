# What both MinGW-w64 toolchain files share, for the HUSHPANE_MINGW they set.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${HUSHPANE_MINGW}-gcc)
set(CMAKE_CXX_COMPILER ${HUSHPANE_MINGW}-g++)
set(CMAKE_RC_COMPILER  ${HUSHPANE_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HUSHPANE_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The host's strip does not know PE files; packages strip what they ship.
set(CMAKE_STRIP /usr/bin/${HUSHPANE_MINGW}-strip CACHE FILEPATH "")
