# SPDX-License-Identifier: MIT
cmake_minimum_required(VERSION 3.25)
# Runs the validators a software centre and a desktop apply, offline; any error fails the test.
foreach(check "appstreamcli;validate;--no-net;${METAINFO}" "desktop-file-validate;${DESKTOP}")
    execute_process(COMMAND ${check} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    message(STATUS "${out}")
    if(NOT result EQUAL 0)
        list(GET check 0 tool)
        message(FATAL_ERROR "${tool} found errors")
    endif()
endforeach()
