# Compiles the Win32 half of the hotkey library with the mingw-w64 cross compiler,
# warnings as errors, and links it into a small Windows program.
# Usage: cmake -DCXX=<compiler> -DSOURCE_DIR=<repo> -DOUT_DIR=<dir> -P wincrosscompile.cmake

if(NOT CXX OR NOT EXISTS "${CXX}")
    message("SKIPPED: no mingw-w64 cross compiler")
    return()
endif()

set(flags -std=c++17 -Wall -Wextra -Werror -I${SOURCE_DIR}/libs/qhotkey)
file(MAKE_DIRECTORY ${OUT_DIR})
set(objects)
foreach(source ${SOURCE_DIR}/libs/qhotkey/win/win32hotkeys.cpp
               ${SOURCE_DIR}/tests/qhotkey/winhotkeysmoke.cpp)
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
