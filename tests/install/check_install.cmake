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
        share/mime/packages/${id}.xml
        share/man/man1/tubebridge.1.gz share/doc/tubebridge/copyright)
    if(NOT EXISTS "${PREFIX}/${f}")
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
if(IS_SYMLINK "${PREFIX}/bin/tubebridge")
    message(FATAL_ERROR "bin/tubebridge is not a plain file")
endif()
file(READ "${PREFIX}/share/applications/${id}.desktop" entry)
foreach(line "Exec=tubebridge %f" "Icon=${id}" "Type=Application")
    string(FIND "${entry}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "desktop entry lacks ${line}")
    endif()
endforeach()

# The caches that desktops read, built from what was installed as the
# system's triggers build them, open *.tubebridge with the desktop entry.
foreach(step "desktop-file-validate;applications/${id}.desktop" "update-mime-database;mime"
        "update-desktop-database;applications")
    list(POP_FRONT step tool)
    find_program(found_${tool} ${tool} REQUIRED) # scripts/test.sh installs them
    execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_DIRS=${PREFIX}/share
        ${found_${tool}} ${PREFIX}/share/${step}
        RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(NOT result EQUAL 0 OR NOT said STREQUAL "")
        message(FATAL_ERROR "${tool} ${step}: ${result} ${said}")
    endif()
endforeach()
file(READ "${PREFIX}/share/mime/globs2" globs)
file(READ "${PREFIX}/share/applications/mimeinfo.cache" opens)
if(NOT globs MATCHES "\n[0-9]+:application/x-tubebridge:\\*\\.tubebridge\n" OR
        NOT opens MATCHES "\napplication/x-tubebridge=${id}\\.desktop;\n")
    message(FATAL_ERROR "the caches do not open *.tubebridge with ${id}:\n${globs}\n${opens}")
endif()
