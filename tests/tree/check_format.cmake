# SPDX-FileCopyrightText: 2024 Tiraso-Projekt
# SPDX-License-Identifier: GPL-3.0-or-later

# Fails when a C++ source of the checkout is not as the formatter writes it
# with the .clang-format at the top. The files are the ones git tracks; a copy
# without git has every *.h and *.cpp outside the build folders checked.
#
#   cmake -DSOURCE_DIR=<checkout> -DCLANG_FORMAT=<clang-format> -P check_format.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR OR NOT CLANG_FORMAT)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<checkout> -DCLANG_FORMAT=<clang-format> -P check_format.cmake")
endif()

set(sources)
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} ls-files -- "*.h" "*.cpp"
                    WORKING_DIRECTORY ${SOURCE_DIR}
                    RESULT_VARIABLE listed
                    OUTPUT_VARIABLE sources
                    ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(listed EQUAL 0)
        string(REPLACE "\n" ";" sources "${sources}")
    else()
        set(sources)
    endif()
endif()
if(NOT sources)
    file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "^(build|out)[^/]*/")
endif()
if(NOT sources)
    message(FATAL_ERROR "No C++ sources under ${SOURCE_DIR}")
endif()

execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
                WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE formatted)
if(NOT formatted EQUAL 0)
    message(FATAL_ERROR "Not formatted as .clang-format asks (above); run clang-format -i on those files. "
                        "Hand-aligned tables go between // clang-format off and // clang-format on.")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources formatted as .clang-format asks")
