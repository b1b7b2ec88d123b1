# Checks of the tray program's resources; included from the top-level list.
#   resources_up_to_date: the committed pictures are what draw_resources.py draws.
#   resources_test (Windows build): the template and pictures as Wine loads them.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Windows")
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_test(NAME resources_up_to_date
             COMMAND ${CMAKE_COMMAND} -DPYTHON=${Python3_EXECUTABLE}
                     -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}
                     -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/resources_fresh
                     -P ${CMAKE_CURRENT_LIST_DIR}/check_generated.cmake)
    set_tests_properties(resources_up_to_date PROPERTIES TIMEOUT 120)
endif()

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # The script's pictures are named as its dependencies in tray/CMakeLists.txt.
    hushpane_wine_test(resources_test
        SOURCES ${PROJECT_SOURCE_DIR}/tests/win/resources_test.cpp
                ${CMAKE_CURRENT_LIST_DIR}/hushpane.rc
        LIBS comctl32 gdi32
        TIMEOUT 60)
endif()
