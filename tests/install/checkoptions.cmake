# SPDX-License-Identifier: MIT
cmake_minimum_required(VERSION 3.25)
# tarvelin's own options: --help and --version answer without a window, an unknown option is a usage error.
execute_process(COMMAND "${TARVELIN}" --version RESULT_VARIABLE result OUTPUT_VARIABLE out)
if(NOT result EQUAL 0 OR NOT out STREQUAL "tarvelin ${VERSION}\n")
    message(FATAL_ERROR "--version gave ${result}: ${out}")
endif()
execute_process(COMMAND "${TARVELIN}" --help RESULT_VARIABLE result OUTPUT_VARIABLE out)
foreach(option --shop-sheet --antenna-check --version "Exit status")
    string(FIND "${out}" "${option}" at)
    if(NOT result EQUAL 0 OR at EQUAL -1)
        message(FATAL_ERROR "--help does not explain ${option}")
    endif()
endforeach()
# Wherever they stand among Qt's options.
execute_process(COMMAND "${TARVELIN}" -style Fusion --version RESULT_VARIABLE result OUTPUT_VARIABLE out)
if(NOT result EQUAL 0 OR NOT out STREQUAL "tarvelin ${VERSION}\n")
    message(FATAL_ERROR "-style Fusion --version gave ${result}: ${out}")
endif()
execute_process(COMMAND "${TARVELIN}" -platform=offscreen --help RESULT_VARIABLE result OUTPUT_VARIABLE out)
if(NOT result EQUAL 0 OR NOT out MATCHES "--shop-sheet")
    message(FATAL_ERROR "-platform=offscreen --help gave ${result}")
endif()
# An unknown option is refused before any display is looked for: here there is none.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
                        "${TARVELIN}" --bogus
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${err}" "tarvelin: unknown option '--bogus'" at)
if(NOT result EQUAL 2 OR at EQUAL -1 OR NOT out STREQUAL "")
    message(FATAL_ERROR "--bogus gave ${result}: ${err}")
endif()
message(STATUS "tarvelin's options answer as documented")
