# SPDX-FileCopyrightText: 2024 Tiraso-Projekt
# SPDX-License-Identifier: GPL-3.0-or-later

# Fails when a folder includes a folder above it, or when two file pairs
# include each other (a.cpp includes b.h and b.cpp includes a.h): a circle a
# new engineer cannot read from one end. The layers, lowest first:
#
#   calc, drawing, platform  ->  model  ->  storage, cli  ->  controls  ->  main
#
# On the ground floor calc stands alone (QtCore only); drawing may use
# platform, not the other way round. On the third floor cli may use storage.
# tests/, bench/ and fuzz/ may include everything, and anyone may include the
# pictures and bitmaps under resources/.
#
#   cmake -DSOURCE_DIR=<checkout> -P check_layers.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<checkout> -P check_layers.cmake")
endif()

# What each folder may include besides itself.
set(below_calc)
set(below_platform)
set(below_drawing platform)
set(below_model calc drawing platform)
set(below_storage ${below_model} model)
set(below_cli ${below_storage} storage)
set(below_controls ${below_model} model storage cli)
set(below_main ${below_controls} controls)
set(layers calc platform drawing model storage cli controls main)
set(anywhere resources)

set(violations 0)
foreach(folder IN LISTS layers)
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(source IN LISTS sources)
        file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
        string(REGEX REPLACE "\\.(h|cpp)$" "" pair "${source}")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\\.h\".*" "\\1" included "${line}")
            if(NOT included STREQUAL pair)
                list(APPEND pair_includes "${pair}>${included}")
            endif()
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" target "${line}")
            if(target STREQUAL folder OR target IN_LIST anywhere)
                continue()
            endif()
            if(NOT target IN_LIST layers)
                message(SEND_ERROR "${source}: ${line}: ${target}/ has no place among the layers")
                math(EXPR violations "${violations} + 1")
            elseif(NOT target IN_LIST below_${folder})
                if(below_${folder})
                    string(REPLACE ";" ", " allowed "${below_${folder}}")
                    set(allowed "only ${allowed}")
                else()
                    set(allowed "no other folder")
                endif()
                message(SEND_ERROR "${source}: ${line}: ${folder}/ may include ${allowed}")
                math(EXPR violations "${violations} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()

list(REMOVE_DUPLICATES pair_includes)
foreach(edge IN LISTS pair_includes)
    string(REPLACE ">" ";" ends "${edge}")
    list(GET ends 0 from)
    list(GET ends 1 to)
    if("${to}>${from}" IN_LIST pair_includes AND from STRLESS to)
        message(SEND_ERROR "${from} and ${to} include each other")
        math(EXPR violations "${violations} + 1")
    endif()
endforeach()

if(violations GREATER 0)
    message(FATAL_ERROR "${violations} include(s) against the layers")
endif()
message(STATUS "Every folder includes only the folders below it, and no two files include each other")
