# Installs the build into a scratch prefix and checks that the program, its
# desktop entry, icon, metadata, manual page and licence land where desktops
# and users look for them.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(id org.tubebridge.Tubebridge)
foreach(f bin/tubebridge share/applications/${id}.desktop
        share/icons/hicolor/32x32/apps/${id}.png share/metainfo/${id}.metainfo.xml
        share/man/man1/tubebridge.1.gz share/doc/tubebridge/copyright)
    if(NOT EXISTS "${PREFIX}/${f}")
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
if(IS_SYMLINK "${PREFIX}/bin/tubebridge")
    message(FATAL_ERROR "bin/tubebridge is not a plain file")
endif()
file(READ "${PREFIX}/share/applications/${id}.desktop" entry)
foreach(line "Exec=tubebridge" "Icon=${id}" "Type=Application")
    string(FIND "${entry}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "desktop entry lacks ${line}")
    endif()
endforeach()
