# kliqora_add_test(<name> SOURCES <files...> LIBS <targets...> [X11] [TIMEOUT <s>]
#                  [RUN_WITH <command...>])
#
# One executable per class or feature. Unit tests run on the offscreen platform;
# tests marked X11 run on the real (virtual) X server that scripts/test starts,
# one at a time because they share the pointer, the keyboard and the focus.
function(kliqora_add_test name)
    cmake_parse_arguments(ARG "X11" "TIMEOUT" "SOURCES;LIBS;RUN_WITH" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE testsupport Qt5::Test Qt5::Widgets ${ARG_LIBS})
    # RUN_WITH runs the test through a command, such as dbus-run-session.
    add_test(NAME ${name} COMMAND ${ARG_RUN_WITH} $<TARGET_FILE:${name}>)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    if(KLIQORA_SANITIZE)
        # Instrumented code runs a few times slower; the limits are for hangs, not speed.
        math(EXPR ARG_TIMEOUT "${ARG_TIMEOUT} * 3")
    endif()
    # A test run from inside a Wayland desktop must not reach that desktop: these
    # tests use their own X server or none (the Wayland tests set their own session).
    set(env "KLIQORA_TEST=1;WAYLAND_DISPLAY=;SWAYSOCK=")
    if(ARG_X11)
        list(APPEND env "QT_QPA_PLATFORM=xcb")
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK x11display LABELS x11)
    else()
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
        set_tests_properties(${name} PROPERTIES LABELS unit)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${env}")
endfunction()

# kliqora_add_wincrosscompile_test(<name> <script> SOURCES <files...> TIMEOUT <seconds>)
# Compiles Windows-only sources (the .cpp among <files>; all must exist) with the mingw-w64
# cross compiler through <script> (a cmake -P script), so they cannot rot unseen on a
# Linux-only CI. Without the compiler the script prints "SKIPPED: no mingw-w64 cross
# compiler", a skip only while KLIQORA_REQUIRE_WINDOWS_CHECKS is off; on, it fails.
function(kliqora_add_wincrosscompile_test name script)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES" ${ARGN})
    if(WIN32)
        return()
    endif()
    kliqora_require_files(${ARG_SOURCES})
    set(sources ${ARG_SOURCES})
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    # One argument for the script: a list would be split into several.
    string(REPLACE ";" "|" sources "${sources}")
    add_test(NAME ${name}
        COMMAND ${CMAKE_COMMAND}
            -DCXX=${KLIQORA_MINGW_CXX}
            -DREQUIRED=${KLIQORA_REQUIRE_WINDOWS_CHECKS}
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DSOURCES=${sources}
            -DOUT_DIR=${CMAKE_CURRENT_BINARY_DIR}/wincrosscompile
            -P ${script})
    set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT ${ARG_TIMEOUT})
    if(NOT KLIQORA_REQUIRE_WINDOWS_CHECKS)
        set_tests_properties(${name} PROPERTIES
            SKIP_REGULAR_EXPRESSION "SKIPPED: no mingw-w64 cross compiler")
    endif()
endfunction()
