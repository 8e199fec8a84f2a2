# Compiles the Win32 half of the hotkey library with the mingw-w64 cross compiler,
# warnings as errors, and links it into a small Windows program.
# Usage: cmake -DCXX=<compiler> -DREQUIRED=<ON|OFF> -DSOURCE_DIR=<repo>
#              -DSOURCES=<file|file|...> -DOUT_DIR=<dir> -P wincrosscompile.cmake

if(NOT CXX OR NOT EXISTS "${CXX}")
    if(REQUIRED)
        message(FATAL_ERROR "The mingw-w64 cross compiler is missing: run scripts/setup")
    endif()
    message("SKIPPED: no mingw-w64 cross compiler")
    return()
endif()

# The library's private root, where its Win32 code lives ("win/win32hotkeys.h").
set(flags -std=c++17 -Wall -Wextra -Werror -I${SOURCE_DIR}/libs/qhotkey)
file(MAKE_DIRECTORY ${OUT_DIR})
string(REPLACE "|" ";" sources "${SOURCES}")
set(objects)
foreach(source IN LISTS sources)
    get_filename_component(name ${source} NAME_WE)
    execute_process(COMMAND ${CXX} ${flags} -c ${source} -o ${OUT_DIR}/${name}.o
        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Cross-compiling ${source} failed:\n${out}${err}")
    endif()
    list(APPEND objects ${OUT_DIR}/${name}.o)
endforeach()

execute_process(COMMAND ${CXX} ${objects} -static -o ${OUT_DIR}/winhotkeysmoke.exe -luser32
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Linking the Win32 hotkey code failed:\n${out}${err}")
endif()
message("linked ${OUT_DIR}/winhotkeysmoke.exe")
