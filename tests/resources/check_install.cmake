# SPDX-FileCopyrightText: 2024 Tiraso-Projekt
# SPDX-License-Identifier: GPL-3.0-or-later

# With INSTALL set: installs the build into a fresh prefix under ROOT.
# Without: checks the tree installed there for what a package and a desktop
# rely on: exactly the expected files (nothing missing, no build
# leftovers such as static libraries or test programs), every fixed-size icon
# of the size its folder promises, and a launcher entry whose program and
# icon are among the installed files.
#   cmake -DINSTALL=ON -DBUILD_DIR=<build> -DROOT=<scratch folder> -P check_install.cmake
#   cmake -DROOT=<scratch folder> -DAPP_ID=<id> [-DWINDOW_MODULE=<path under the prefix>]
#         [-DSVG_MODULE=<path under the prefix>] -P check_install.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT ROOT OR (NOT INSTALL AND NOT APP_ID))
    message(FATAL_ERROR "ROOT and, for the check, APP_ID must be set")
endif()
# Not /usr: the install rules must work for any prefix.
set(prefix ${ROOT}/usr)

if(INSTALL)
    file(REMOVE_RECURSE ${ROOT})
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                    RESULT_VARIABLE result OUTPUT_QUIET)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "cmake --install failed: ${result}")
    endif()
    return()
endif()

# Menus, panels and docks look up these sizes; the scalable drawing serves the rest.
set(icon_sizes 16 22 24 32 48 64 128 256)
set(expected
    bin/tiraso
    share/applications/${APP_ID}.desktop
    share/doc/tiraso/changelog.gz
    share/doc/tiraso/copyright
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/man/man1/tiraso.1.gz
    share/metainfo/${APP_ID}.metainfo.xml
)
foreach(module IN ITEMS ${WINDOW_MODULE} ${SVG_MODULE})
    list(APPEND expected ${module})
endforeach()
foreach(size IN LISTS icon_sizes)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
set(missing ${expected})
list(REMOVE_ITEM missing ${installed})
set(unexpected ${installed})
list(REMOVE_ITEM unexpected ${expected})
set(failures)
foreach(file IN LISTS missing)
    list(APPEND failures "missing: ${file}")
endforeach()
foreach(file IN LISTS unexpected)
    list(APPEND failures "not expected: ${file}")
endforeach()

# A PNG holds its width and height as 32-bit big-endian numbers at byte 16.
foreach(size IN LISTS icon_sizes)
    set(png ${prefix}/share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    if(EXISTS ${png})
        file(READ ${png} signature LIMIT 8 HEX)
        file(READ ${png} header OFFSET 16 LIMIT 8 HEX)
        string(SUBSTRING "${header}" 0 8 width)
        string(SUBSTRING "${header}" 8 8 height)
        math(EXPR width "0x${width}")
        math(EXPR height "0x${height}")
        if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
            list(APPEND failures "${size}x${size} icon is ${width}x${height} (signature ${signature})")
        endif()
    endif()
endforeach()

set(entry ${prefix}/share/applications/${APP_ID}.desktop)
if(EXISTS ${entry})
    file(STRINGS ${entry} exec REGEX "^Exec=")
    file(STRINGS ${entry} icon REGEX "^Icon=")
    string(REGEX REPLACE "^Exec=([^ ]*).*" "\\1" program "${exec}")
    string(REGEX REPLACE "^Icon=" "" icon "${icon}")
    if(NOT "bin/${program}" IN_LIST installed)
        list(APPEND failures "the entry starts '${program}', which is not installed in bin")
    endif()
    if(NOT "share/icons/hicolor/scalable/apps/${icon}.svg" IN_LIST installed)
        list(APPEND failures "the entry's icon '${icon}' is not installed")
    endif()
endif()

if(failures)
    list(JOIN failures "\n  " report)
    message(FATAL_ERROR "installed tree under ${prefix}:\n  ${report}")
endif()
list(LENGTH installed count)
message(STATUS "${count} files installed under ${prefix}, as expected")
