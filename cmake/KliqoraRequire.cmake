# kliqora_find_package(<package> [COMPONENTS ...])
# find_package() for a build dependency: a missing one fails the configure and says
# how to get it, rather than leaving part of the build out.
macro(kliqora_find_package package)
    find_package(${package} ${ARGN})
    if(NOT ${package}_FOUND)
        message(FATAL_ERROR "${package} is missing or incomplete: run scripts/setup, which "
                            "installs every package the build needs")
    endif()
endmacro()

# kliqora_find_package_from(<package> <debian packages>)
# kliqora_find_package() for a package whose Debian package has another name, which
# the failure names.
macro(kliqora_find_package_from package debian_packages)
    find_package(${package})
    if(NOT ${package}_FOUND)
        message(FATAL_ERROR "${package} (Debian package ${debian_packages}) is missing: run "
                            "scripts/setup")
    endif()
endmacro()

# kliqora_find_program(<variable> <program> <debian package>)
# find_program() for a tool the build or the checks cannot do without.
function(kliqora_find_program variable program package)
    find_program(${variable} ${program})
    if(NOT ${variable})
        message(FATAL_ERROR "${program} (Debian package ${package}) is missing: run scripts/setup")
    endif()
endfunction()

# kliqora_require_files(<files...>)
# For files a build step outside CMake's targets compiles (the Windows cross-compile
# checks): a listed file that is not there fails the configure, as it does in a target.
function(kliqora_require_files)
    foreach(file IN LISTS ARGN)
        if(NOT EXISTS ${file})
            message(FATAL_ERROR "Cannot find source file: ${file}")
        endif()
    endforeach()
endfunction()
