# Qt for the whole build: the one place where building on Qt 5.15 and on Qt 6 differs.
#
#   cmake -DKLIQORA_QT_MAJOR=6 ...     (default 5)
#
# Every target links the versionless targets (Qt::Core, Qt::Widgets, ...) and calls the
# versionless tool functions (qt_add_resources, qt_wrap_ui, ...); both Qt versions
# provide them. Code written in the API both share needs nothing more; the few C++
# differences live in libs/qtcompat, the X11 access in platform (platform/qtx11.h).
#
# kliqora_find_qt(<components...>)   finds more Qt components, a missing one fails.
# kliqora_qtx11                      what code reaching Qt's own X connection links.
# KLIQORA_DEB_PACKAGE                whether this build makes the Debian package (Qt 5 only
#                                    for now; a Qt 6 build still installs).
set(KLIQORA_QT_MAJOR 5 CACHE STRING "Qt to build with: 5 (5.15) or 6 (6.4 or later)")
set_property(CACHE KLIQORA_QT_MAJOR PROPERTY STRINGS 5 6)
if(KLIQORA_QT_MAJOR STREQUAL "5")
    set(KLIQORA_QT_MIN_VERSION 5.15)
    set(KLIQORA_DEB_PACKAGE ON)
elseif(KLIQORA_QT_MAJOR STREQUAL "6")
    set(KLIQORA_QT_MIN_VERSION 6.4)
    set(KLIQORA_DEB_PACKAGE OFF)
else()
    message(FATAL_ERROR "KLIQORA_QT_MAJOR is 5 or 6, not '${KLIQORA_QT_MAJOR}'")
endif()

macro(kliqora_find_qt)
    kliqora_find_package(Qt${KLIQORA_QT_MAJOR} ${KLIQORA_QT_MIN_VERSION} COMPONENTS ${ARGN})
endmacro()

kliqora_find_qt(Core Gui Widgets Network Svg Concurrent)
message(STATUS "Building with Qt ${Qt${KLIQORA_QT_MAJOR}_VERSION}")

if(UNIX AND NOT APPLE)
    # Qt 5 hands out its X connection through X11 Extras (QX11Info); Qt 6 through
    # QtGui's native interface.
    add_library(kliqora_qtx11 INTERFACE)
    if(KLIQORA_QT_MAJOR EQUAL 5)
        kliqora_find_qt(X11Extras)
        target_link_libraries(kliqora_qtx11 INTERFACE Qt::X11Extras)
    else()
        target_link_libraries(kliqora_qtx11 INTERFACE Qt::Gui)
    endif()
endif()
