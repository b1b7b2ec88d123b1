# Checks of the tray program's resources; included from the top-level list.
#   resources_up_to_date: the committed pictures are what draw_resources.py draws.
#   resources_test (Windows build): the template and pictures as Wine loads them.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
    add_test(NAME resources_up_to_date
             COMMAND ${CMAKE_COMMAND} -DPYTHON=${Python3_EXECUTABLE}
                     -DSOURCE_DIR=${CMAKE_CURRENT_LIST_DIR}
                     -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/resources_fresh
                     -P ${CMAKE_CURRENT_LIST_DIR}/check_generated.cmake)
    set_tests_properties(resources_up_to_date PROPERTIES TIMEOUT 120)
endif()

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # windres reads the pictures itself; CMake does not see them, so name them,
    # or a redrawn picture would not rebuild what holds the resources.
    file(GLOB HUSHPANE_RC_PICTURES CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_LIST_DIR}/*.ico ${CMAKE_CURRENT_LIST_DIR}/*.bmp ${CMAKE_CURRENT_LIST_DIR}/*.avi)
    set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/hushpane.rc PROPERTIES
        OBJECT_DEPENDS "${HUSHPANE_RC_PICTURES};${PROJECT_SOURCE_DIR}/tray/resource_ids.h")
    hushpane_wine_test(resources_test
        SOURCES ${PROJECT_SOURCE_DIR}/tests/win/resources_test.cpp
                ${CMAKE_CURRENT_LIST_DIR}/hushpane.rc
        LIBS comctl32 gdi32
        TIMEOUT 60)
endif()
