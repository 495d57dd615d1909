# SPDX-License-Identifier: MIT
cmake_minimum_required(VERSION 3.25)
# Installs the build into a scratch prefix and checks that a Linux desktop finds the program there: the two
# executables, the desktop entry naming them, the icon theme's flag icons at every size, the software
# centre's metainfo and the manual pages.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}" RESULT_VARIABLE result
                OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file bin/tarvelin bin/tarvelin-calc share/applications/org.tarvelin.Tarvelin.desktop
             share/icons/hicolor/16x16/apps/org.tarvelin.Tarvelin.png
             share/icons/hicolor/32x32/apps/org.tarvelin.Tarvelin.png
             share/icons/hicolor/48x48/apps/org.tarvelin.Tarvelin.png
             share/icons/hicolor/64x64/apps/org.tarvelin.Tarvelin.png
             share/icons/hicolor/128x128/apps/org.tarvelin.Tarvelin.png
             share/icons/hicolor/256x256/apps/org.tarvelin.Tarvelin.png
             share/icons/hicolor/scalable/apps/org.tarvelin.Tarvelin.svg
             share/metainfo/org.tarvelin.Tarvelin.metainfo.xml
             share/man/man1/tarvelin.1.gz
             share/man/man1/tarvelin-calc.1.gz)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/org.tarvelin.Tarvelin.desktop" entry)
foreach(line "Exec=tarvelin" "Icon=org.tarvelin.Tarvelin" "Type=Application")
    if(NOT line IN_LIST entry)
        message(FATAL_ERROR "the desktop entry lacks ${line}")
    endif()
endforeach()
file(READ "${PREFIX}/share/icons/hicolor/32x32/apps/org.tarvelin.Tarvelin.png" signature LIMIT 8 HEX)
if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "the 32x32 icon is not a PNG file")
endif()
message(STATUS "installed layout is complete")
