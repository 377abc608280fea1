# Each library of src/ finds another's headers only when it links it: every
# folder puts only itself on the include path, so a wrong include fails the
# build. What the build cannot refuse is a path that reaches into another
# folder by itself ("../settings/SettingsFile.h"): no quoted include of src/
# may name a folder.
file(GLOB_RECURSE sources "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp")
set(offending "")
foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*/")
    if(lines)
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${source}")
        list(APPEND offending "${name}: ${lines}")
    endif()
endforeach()
if(offending)
    list(JOIN offending "\n  " listed)
    message(FATAL_ERROR "headers included by path instead of through the links:\n  ${listed}")
endif()
