# Binaries without the C or C++ runtime: their own entry point, no heap, no
# exceptions, no static constructors, and nothing linked but the system DLLs
# given (libgcc last, for any helper the compiler emits).
# The 32-bit ones run on any processor Windows 95 runs on, down to the 386DX:
# the 386's instruction set costs nothing over the 486's here (same sizes),
# while the toolchain's default, the Pentium Pro, would fault on Pentiums, K6s
# and 486s. Scheduling stays tuned for today's processors.
# 64-bit binaries that sit beside 32-bit ones of the same kind in one folder
# end their names in HUSHPANE_SUFFIX_64; this build's in HUSHPANE_BITS_SUFFIX.
set(HUSHPANE_IS_64 OFF)
set(HUSHPANE_SUFFIX_64 64)
set(HUSHPANE_BITS_SUFFIX "")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(HUSHPANE_IS_64 ON)
    set(HUSHPANE_BITS_SUFFIX ${HUSHPANE_SUFFIX_64})
endif()

# A symbol as the linker spells it: 32-bit names as given (_name, _name@bytes),
# 64-bit ones bare, since x64 has one calling convention and no decorations.
function(hushpane_link_symbol out symbol)
    if(HUSHPANE_IS_64)
        string(REGEX REPLACE "^_|@[0-9]+$" "" symbol "${symbol}")
    endif()
    set(${out} ${symbol} PARENT_SCOPE)
endfunction()

# Code compiled for those binaries: also the static libraries they share.
function(hushpane_freestanding_compile target)
    if(NOT HUSHPANE_IS_64)
        target_compile_options(${target} PRIVATE -march=i386)
    endif()
    target_compile_options(${target} PRIVATE -mtune=generic
        -ffreestanding -fno-builtin -fno-exceptions -fno-rtti
        -fno-asynchronous-unwind-tables -fno-stack-protector -fno-threadsafe-statics
        -Wall -Wextra)
endfunction()

# A static library of the rooms below the binaries, compiled as they are;
# its headers are found by the targets that link it.
#   hushpane_freestanding_library(target system-dlls...)
function(hushpane_freestanding_library target)
    hushpane_freestanding_compile(${target})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARGN})
endfunction()

function(hushpane_freestanding target entry)
    hushpane_freestanding_compile(${target})
    hushpane_link_symbol(entry ${entry})
    target_link_options(${target} PRIVATE -nostdlib -Wl,-e,${entry} -s)
    target_link_libraries(${target} PRIVATE ${ARGN} gcc)
endfunction()

# A .def file as this build's linker takes it: the 32-bit one lists stdcall
# names with their decorations (--kill-at strips them from the exports); the
# 64-bit build gets a copy without them, and with BITS_NAMED its LIBRARY line
# names the file with HUSHPANE_BITS_SUFFIX.   (out def [BITS_NAMED])
function(hushpane_def_file out def)
    if(HUSHPANE_IS_64)
        get_filename_component(name ${def} NAME)
        file(READ ${def} text)
        string(REGEX REPLACE "@[0-9]+" "" text "${text}")
        if(ARGV2 STREQUAL "BITS_NAMED")
            string(REGEX REPLACE "(LIBRARY[ \t]+[A-Za-z0-9_]+)\\.dll" "\\1${HUSHPANE_BITS_SUFFIX}.dll" text "${text}")
        endif()
        set(def ${CMAKE_CURRENT_BINARY_DIR}/${name})
        file(WRITE ${def} "${text}")
    endif()
    set(${out} ${def} PARENT_SCOPE)
endfunction()

# A DLL whose exports, if any, are named undecorated by its .def file; with
# BITS_NAMED its file name (and the .def's) ends in HUSHPANE_BITS_SUFFIX.
#   hushpane_freestanding_dll(target [BITS_NAMED] [DEF file.def] system-dlls...)
function(hushpane_freestanding_dll target)
    cmake_parse_arguments(ARG "BITS_NAMED" "DEF" "" ${ARGN})
    set(name ${target})
    set(bits "")
    if(ARG_BITS_NAMED)
        set(name ${target}${HUSHPANE_BITS_SUFFIX})
        set(bits BITS_NAMED)
    endif()
    if(ARG_DEF)
        hushpane_def_file(def ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DEF} ${bits})
        target_sources(${target} PRIVATE ${def})
    endif()
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${name} IMPORT_PREFIX "lib")
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    hushpane_freestanding(${target} _DllMain@12 ${ARG_UNPARSED_ARGUMENTS})
    target_link_options(${target} PRIVATE -Wl,--kill-at)
endfunction()
