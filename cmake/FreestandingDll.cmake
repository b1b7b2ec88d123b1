# Binaries without the C or C++ runtime: their own entry point, no heap, no
# exceptions, no static constructors, and nothing linked but the system DLLs
# given (libgcc last, for any helper the compiler emits).
function(hushpane_freestanding target entry)
    target_compile_options(${target} PRIVATE
        -ffreestanding -fno-builtin -fno-exceptions -fno-rtti
        -fno-asynchronous-unwind-tables -fno-stack-protector -fno-threadsafe-statics
        -Wall -Wextra)
    target_link_options(${target} PRIVATE -nostdlib -Wl,-e,${entry} -s)
    set_property(TARGET ${target} PROPERTY LINK_LIBRARIES ${ARGN} gcc)
endfunction()

# A DLL whose exports are named undecorated by its .def file.
function(hushpane_freestanding_dll target)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target} IMPORT_PREFIX "lib")
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    hushpane_freestanding(${target} _DllMain@12 ${ARGN})
    target_link_options(${target} PRIVATE -Wl,--kill-at)
endfunction()
