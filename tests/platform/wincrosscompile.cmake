# Compiles the Windows backend and the platform interface with the mingw-w64 cross
# compiler, and links them into a small program, warnings as errors.
# Usage: cmake -DCXX=<compiler> -DREQUIRED=<ON|OFF> -DSOURCE_DIR=<repo>
#              -DSOURCES=<file|file|...> -DOUT_DIR=<dir> -P wincrosscompile.cmake
# SOURCES: the Windows build of the platform module and the smoke program.

if(NOT CXX OR NOT EXISTS "${CXX}")
    if(REQUIRED)
        message(FATAL_ERROR "The mingw-w64 cross compiler is missing: run scripts/setup")
    endif()
    message("SKIPPED: no mingw-w64 cross compiler (install g++-mingw-w64-x86-64)")
    return()
endif()

# The module's own include directories: its interface and, for the backends, its private root.
set(flags -std=c++17 -Wall -Wextra -Werror
    -I${SOURCE_DIR}/platform/include -I${SOURCE_DIR}/platform)
file(MAKE_DIRECTORY ${OUT_DIR})
string(REPLACE "|" ";" sources "${SOURCES}")

set(objects)
foreach(source IN LISTS sources)
    get_filename_component(name ${source} NAME_WE)
    set(object ${OUT_DIR}/${name}.o)
    execute_process(COMMAND ${CXX} ${flags} -c ${source} -o ${object}
        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Cross-compiling ${source} failed:\n${out}${err}")
    endif()
    message("compiled ${source}")
    list(APPEND objects ${object})
endforeach()

# The interface headers on their own, and the null backend.
set(headers_source ${OUT_DIR}/interfaceheaders.cpp)
file(WRITE ${headers_source} "")
foreach(header platform/input.h platform/virtualkeys.h platform/backend.h null/nullbackend.h)
    file(APPEND ${headers_source} "#include \"${header}\"\n")
endforeach()
execute_process(COMMAND ${CXX} ${flags} -fsyntax-only ${headers_source}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Cross-compiling the platform interface headers failed:\n${out}${err}")
endif()
message("checked the platform interface headers")

execute_process(COMMAND ${CXX} ${objects} -static -o ${OUT_DIR}/winsmoke.exe -luser32 -lgdi32 -lwinmm
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Linking the Windows backend failed:\n${out}${err}")
endif()
message("linked ${OUT_DIR}/winsmoke.exe")
