# Windows-side tests: every one runs under Wine inside one of the run's shared
# sessions (one Xvfb, one prefix each), serially, because system-wide hooks and
# the desktop are shared by whatever runs at the same time. The session "wine"
# has the run's prefix (32-bit unless HUSHPANE_WINEARCH says otherwise), "wine64"
# a 64-bit one, where a 32-bit Hushpane.exe meets 64-bit programs.
set(HUSHPANE_WINE_SESSION ${CMAKE_BINARY_DIR}/wine-session)
set(HUSHPANE_WINE64_SESSION ${CMAKE_BINARY_DIR}/wine-session64)
set(HUSHPANE_SESSION_SCRIPT ${PROJECT_SOURCE_DIR}/tests/wine/session.sh)

# Windows programs run through the session's Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${HUSHPANE_SESSION_SCRIPT} wine ${HUSHPANE_WINE_SESSION})

# The one limit on a test's run, unless it names its own.
set(HUSHPANE_TEST_TIMEOUT 180)

# Each session's start and stop fixture, started only for a run with a test in it.
foreach(session wine wine64)
    string(TOUPPER HUSHPANE_${session}_SESSION dir)
    add_test(NAME ${session}_session_start COMMAND ${HUSHPANE_SESSION_SCRIPT} start ${${dir}})
    set_tests_properties(${session}_session_start PROPERTIES FIXTURES_SETUP ${session} TIMEOUT 120)
    add_test(NAME ${session}_session_stop COMMAND ${HUSHPANE_SESSION_SCRIPT} stop ${${dir}})
    set_tests_properties(${session}_session_stop PROPERTIES FIXTURES_CLEANUP ${session} TIMEOUT ${HUSHPANE_TEST_TIMEOUT})
endforeach()
set_tests_properties(wine64_session_start PROPERTIES ENVIRONMENT HUSHPANE_WINEARCH=win64)

# Every Windows-side test runs alone, inside a shared session.   (name [timeout [session]])
function(hushpane_wine_test_properties name)
    set(timeout ${HUSHPANE_TEST_TIMEOUT})
    if(ARGV1)
        set(timeout ${ARGV1})
    endif()
    set(session wine)
    if(ARGC GREATER 2)   # ARGV2 past ARGC would be the calling function's
        set(session ${ARGV2})
    endif()
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED ${session} RUN_SERIAL TRUE TIMEOUT ${timeout})
endfunction()

# A Windows test program built from sources; it runs from bin/ next to the
# deliverables, so it finds Snapveil.dll and the others as a user's copy would.
function(hushpane_wine_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;ARGS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/win)
    add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    hushpane_wine_test_properties(${name} "${ARG_TIMEOUT}")
endfunction()

# A shell test that drives Windows programs and real input from outside, in
# the session "wine" or the one it names (SESSION wine64).
function(hushpane_wine_script_test name script)
    cmake_parse_arguments(ARG "" "TIMEOUT;SESSION" "ARGS" ${ARGN})
    if(NOT ARG_SESSION)
        set(ARG_SESSION wine)
    endif()
    string(TOUPPER HUSHPANE_${ARG_SESSION}_SESSION dir)
    add_test(NAME ${name}
             COMMAND ${HUSHPANE_SESSION_SCRIPT} run ${${dir}}
                     bash ${script} ${CMAKE_BINARY_DIR}/bin ${ARG_ARGS}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    hushpane_wine_test_properties(${name} "${ARG_TIMEOUT}" ${ARG_SESSION})
endfunction()
