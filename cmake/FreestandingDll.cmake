# A DLL without the C or C++ runtime: its own entry point, exports named
# undecorated by its .def file, and nothing linked but the system DLLs given
# (libgcc last, for any helper the compiler emits).
function(hushpane_freestanding_dll target)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target} IMPORT_PREFIX "lib")
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_compile_options(${target} PRIVATE
        -ffreestanding -fno-builtin -fno-exceptions -fno-rtti
        -fno-asynchronous-unwind-tables -fno-stack-protector -fno-threadsafe-statics
        -Wall -Wextra)
    target_link_options(${target} PRIVATE
        -nostdlib -Wl,-e,_DllMain@12 -Wl,--kill-at -s)
    set_property(TARGET ${target} PROPERTY LINK_LIBRARIES ${ARGN} gcc)
endfunction()
