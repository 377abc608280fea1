# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads
# variant, whose libstdc++ has std::thread and std::mutex). Used for the Qt
# build and, chain-loaded by that Qt's own toolchain file, for the program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

# Headers and libraries only from the MinGW sysroot (and the prefixes that a
# toolchain loading this one adds); build programs from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs the cross-built executables through Wine. scripts/build-windows.sh
# sets WINEPREFIX, WINEPATH and the rest in the test run's environment.
# Debian's 64-bit loader, called directly: the wine wrapper nags about wine32.
find_program(TUBEBRIDGE_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(TUBEBRIDGE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TUBEBRIDGE_WINE})
endif()
