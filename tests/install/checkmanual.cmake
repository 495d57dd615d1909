# SPDX-License-Identifier: MIT
cmake_minimum_required(VERSION 3.25)
# Renders tarvelin-calc's manual page as man shows it and checks what the reader sees: quotes written as
# quotes, never as their escape, and every option's description right under it, with no blank line between.
execute_process(COMMAND gzip -dc "${MANUAL}"
                COMMAND groff -man -Tutf8 -P-cbou -rLL=100n
                OUTPUT_VARIABLE page RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR page STREQUAL "")
    message(FATAL_ERROR "cannot render ${MANUAL}: ${result} ${errors}")
endif()
if(page MATCHES "\\\\\\(dq|\\(dq")
    message(FATAL_ERROR "the manual page shows an escape instead of a quote")
endif()
string(REGEX MATCH "\n       --[a-z-]+( [A-Za-z]+)?\n *\n" split "${page}")
if(split)
    message(FATAL_ERROR "an option's description stands apart from it:${split}")
endif()
string(REGEX REPLACE "[ \n]+" " " flat "${page}") # as read, whatever the line breaks and justification
foreach(shown "shorten 20-1/4\" (5-1/16\" a side)" "MHZ \"model\" takes the resonance")
    string(FIND "${flat}" "${shown}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the manual page lacks: ${shown}")
    endif()
endforeach()
message(STATUS "the manual page reads as intended")
