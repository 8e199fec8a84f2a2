# Wayland client libraries and the code generator for protocol XML files.
#
# kliqora_wayland_protocol(<target> <xml>)
#   Generates the client header and the interface code of a protocol at build time
#   and adds them to <target>, which then includes "<name>-client-protocol.h".
enable_language(C)
if(CCACHE_PROGRAM)
    set(CMAKE_C_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(WaylandClient REQUIRED IMPORTED_TARGET wayland-client)
pkg_check_modules(XkbCommon REQUIRED IMPORTED_TARGET xkbcommon)
pkg_get_variable(KLIQORA_WAYLAND_SCANNER wayland-scanner wayland_scanner)
pkg_get_variable(KLIQORA_WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT KLIQORA_WAYLAND_SCANNER OR NOT KLIQORA_WAYLAND_PROTOCOLS_DIR)
    message(FATAL_ERROR "wayland-scanner and wayland-protocols are needed (scripts/setup)")
endif()

function(kliqora_wayland_protocol target xml)
    get_filename_component(name ${xml} NAME_WE)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
    set(header ${dir}/${name}-client-protocol.h)
    set(code ${dir}/${name}-protocol.c)
    add_custom_command(OUTPUT ${header}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${KLIQORA_WAYLAND_SCANNER} client-header ${xml} ${header}
        DEPENDS ${xml} VERBATIM)
    add_custom_command(OUTPUT ${code}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${KLIQORA_WAYLAND_SCANNER} private-code ${xml} ${code}
        DEPENDS ${xml} VERBATIM)
    target_sources(${target} PRIVATE ${header} ${code})
    target_include_directories(${target} PRIVATE ${dir})
endfunction()
