# SPDX-License-Identifier: MIT
# The core's folders, lowest first: each may include only those before it, so no two depend on each other and
# a change low down never has to know what is built on it. Nothing in the core includes Qt.
#
#   cmake -DCORE=<source>/src/core -P corelayers.cmake
set(layers runtime text format calc touchstone design nec shop check measure tune study document)

file(GLOB_RECURSE sources RELATIVE ${CORE} ${CORE}/*.h ${CORE}/*.cpp)
set(problems "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" folder "${source}")
    list(FIND layers "${folder}" rank)
    if(rank EQUAL -1)
        string(APPEND problems "  ${source}: its folder is in no layer\n")
        continue()
    endif()
    file(STRINGS ${CORE}/${source} includes REGEX "^#include [<\"]")
    foreach(line IN LISTS includes)
        if(line MATCHES "^#include <Q")
            string(APPEND problems "  ${source}: ${line}, in the core\n")
        elseif(line MATCHES "^#include \"core/([^/]+)/")
            set(used "${CMAKE_MATCH_1}")
            list(FIND layers "${used}" usedRank)
            if(NOT used STREQUAL folder AND NOT usedRank LESS rank)
                string(APPEND problems "  ${source}: ${line}, a layer at or above its own\n")
            endif()
        elseif(line MATCHES "^#include \"(gui|cli|app)/")
            string(APPEND problems "  ${source}: ${line}, outside the core\n")
        endif()
    endforeach()
endforeach()
if(problems)
    message(FATAL_ERROR "The core's layers are broken:\n${problems}")
endif()
