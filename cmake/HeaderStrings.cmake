# hushpane_header_string(VAR FILE NAME): the string literal in NAME's #define in
# the source header FILE, its C escapes undone: the build uses the program's own names.
function(hushpane_header_string var file name)
    file(STRINGS ${PROJECT_SOURCE_DIR}/${file} line REGEX "^#define ${name} .*\"")
    if(NOT line)   # an empty name would reach the installer unnoticed
        message(FATAL_ERROR "no string #define ${name} in ${file}")
    endif()
    string(REGEX REPLACE ".*\"(.*)\".*" "\\1" value "${line}")
    string(REPLACE "\\\\" "\\" value "${value}")
    set(${var} "${value}" PARENT_SCOPE)
endfunction()

# Hushpane.exe starts the 64-bit host by this name, so the build gives it to the file.
hushpane_header_string(HUSHPANE_HOST_PROGRAM hooking/host_program.h HOST_PROGRAM_NAME)
