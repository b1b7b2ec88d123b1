# Binaries without the C or C++ runtime: their own entry point, no heap, no
# exceptions, no static constructors, and nothing linked but the system DLLs
# given (libgcc last, for any helper the compiler emits).
# They run on any processor Windows 95 runs on, down to the 386DX: the 386's
# instruction set costs nothing over the 486's here (same sizes), while the
# toolchain's default, the Pentium Pro, would fault on Pentiums, K6s and 486s.
# Scheduling stays tuned for today's processors.
function(hushpane_freestanding target entry)
    target_compile_options(${target} PRIVATE -march=i386 -mtune=generic
        -ffreestanding -fno-builtin -fno-exceptions -fno-rtti
        -fno-asynchronous-unwind-tables -fno-stack-protector -fno-threadsafe-statics
        -Wall -Wextra)
    target_link_options(${target} PRIVATE -nostdlib -Wl,-e,${entry} -s)
    target_link_libraries(${target} PRIVATE ${ARGN} gcc)
endfunction()

# A DLL whose exports are named undecorated by its .def file.
function(hushpane_freestanding_dll target)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target} IMPORT_PREFIX "lib")
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    hushpane_freestanding(${target} _DllMain@12 ${ARGN})
    target_link_options(${target} PRIVATE -Wl,--kill-at)
endfunction()
