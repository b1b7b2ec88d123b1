# Windows-side tests: every one runs under Wine inside the run's shared session
# (one Xvfb, one prefix), serially, because system-wide hooks and the desktop
# are shared by whatever runs at the same time.
set(HUSHPANE_WINE_SESSION ${CMAKE_BINARY_DIR}/wine-session)
set(HUSHPANE_SESSION_SCRIPT ${PROJECT_SOURCE_DIR}/tests/wine/session.sh)

# Windows programs run through the session's Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${HUSHPANE_SESSION_SCRIPT} wine ${HUSHPANE_WINE_SESSION})

# The one limit on a test's run, unless it names its own.
set(HUSHPANE_TEST_TIMEOUT 180)

add_test(NAME wine_session_start COMMAND ${HUSHPANE_SESSION_SCRIPT} start ${HUSHPANE_WINE_SESSION})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
add_test(NAME wine_session_stop COMMAND ${HUSHPANE_SESSION_SCRIPT} stop ${HUSHPANE_WINE_SESSION})
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT ${HUSHPANE_TEST_TIMEOUT})

# Every Windows-side test runs alone, inside the shared session.   (name [timeout])
function(hushpane_wine_test_properties name)
    set(timeout ${HUSHPANE_TEST_TIMEOUT})
    if(ARGV1)
        set(timeout ${ARGV1})
    endif()
    set_tests_properties(${name} PROPERTIES
        FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT ${timeout})
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

# A shell test that drives Windows programs and real input from outside.
function(hushpane_wine_script_test name script)
    cmake_parse_arguments(ARG "" "TIMEOUT" "ARGS" ${ARGN})
    add_test(NAME ${name}
             COMMAND ${HUSHPANE_SESSION_SCRIPT} run ${HUSHPANE_WINE_SESSION}
                     bash ${script} ${CMAKE_BINARY_DIR}/bin ${ARG_ARGS}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    hushpane_wine_test_properties(${name} "${ARG_TIMEOUT}")
endfunction()
