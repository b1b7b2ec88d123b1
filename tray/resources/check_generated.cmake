# Draws every picture afresh into WORK_DIR and compares it with the committed
# copy next to draw_resources.py: fails when the drawings changed and the
# files were not regenerated (or the other way round).
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${PYTHON} ${SOURCE_DIR}/draw_resources.py ${WORK_DIR}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "draw_resources.py failed (${rc})")
endif()
file(GLOB fresh RELATIVE ${WORK_DIR} ${WORK_DIR}/*)
if(NOT fresh)
    message(FATAL_ERROR "draw_resources.py wrote nothing")
endif()
set(stale "")
foreach(name IN LISTS fresh)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                            ${WORK_DIR}/${name} ${SOURCE_DIR}/${name}
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        list(APPEND stale ${name})
    endif()
endforeach()
if(stale)
    message(FATAL_ERROR "out of date, run draw_resources.py: ${stale}")
endif()
list(LENGTH fresh count)
message(STATUS "${count} generated files match")
