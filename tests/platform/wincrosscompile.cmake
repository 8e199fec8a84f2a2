# Compiles the Windows backend and the platform interface with the mingw-w64
# cross compiler, and links them into a small program, warnings as errors.
# Usage: cmake -DCXX=<compiler> -DSOURCE_DIR=<repo> -DOUT_DIR=<dir> -P wincrosscompile.cmake

if(NOT CXX OR NOT EXISTS "${CXX}")
    message("SKIPPED: no mingw-w64 cross compiler (install g++-mingw-w64-x86-64)")
    return()
endif()

set(flags -std=c++17 -Wall -Wextra -Werror -I${SOURCE_DIR})
file(MAKE_DIRECTORY ${OUT_DIR})
file(GLOB sources ${SOURCE_DIR}/platform/win/*.cpp)
list(APPEND sources ${SOURCE_DIR}/platform/backend.cpp
    ${SOURCE_DIR}/tests/platform/winsmoke.cpp)

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

# The interface headers on their own, including the null backend.
set(headers_source ${OUT_DIR}/interfaceheaders.cpp)
file(WRITE ${headers_source} "")
foreach(header input.h virtualkeys.h backend.h null/nullbackend.h)
    file(APPEND ${headers_source} "#include \"platform/${header}\"\n")
endforeach()
execute_process(COMMAND ${CXX} ${flags} -fsyntax-only ${headers_source}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Cross-compiling the platform interface headers failed:\n${out}${err}")
endif()
message("checked the platform interface headers")

execute_process(COMMAND ${CXX} ${objects} -static -o ${OUT_DIR}/winsmoke.exe -luser32 -lwinmm
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Linking the Windows backend failed:\n${out}${err}")
endif()
message("linked ${OUT_DIR}/winsmoke.exe")
