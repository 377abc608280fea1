# Cross-built for Windows, the tests run under Wine (the toolchain file makes
# it CTest's emulator), in a Wine prefix of the build's own, never the
# user's ~/.wine. Wine passes on no QT_* variable to a Windows program, only
# WINEQT_* ones under the name without WINE; Qt Test's output would go to the
# debugger log without QT_FORCE_STDERR_LOGGING; the DLLs come through WINEPATH.
#
# tubebridge_setup_wine_tests() once, at the top, when the tests run under
# Wine; tubebridge_tests_run_under_wine() in every folder that adds tests
# (a no-op otherwise): at the folder's end its tests get Wine's environment.

function(tubebridge_setup_wine_tests)
    set(prefix ${PROJECT_BINARY_DIR}/wine-prefix)
    add_test(NAME wine_prefix
        COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh ${prefix})
    set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
    add_test(NAME wine_session_end
        COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/wine-prefix.sh ${prefix} --stop)
    set_tests_properties(wine_session_end PROPERTIES FIXTURES_CLEANUP wine)

    # Qt's DLLs, with MinGW's runtime beside them (scripts/windows-qt.sh), on
    # Wine's Z: drive, which is the whole file system.
    get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
    get_filename_component(qt_bin ${qt_core_dll} DIRECTORY)
    string(REPLACE "/" "\\" wine_path "Z:${qt_bin}")
    # Qt's offscreen platform on Windows takes its fonts from one folder, not
    # from the system: Debian's Liberation fonts, as the Linux tests have them
    # through fontconfig (Liberation Mono standing in for Courier New).
    set(font_dir /usr/share/fonts/truetype/liberation)
    if(NOT EXISTS ${font_dir}/LiberationMono-Regular.ttf)
        message(FATAL_ERROR "The tests under Wine need fonts-liberation")
    endif()
    string(REPLACE "/" "\\" wine_font_dir "Z:${font_dir}")
    set_property(GLOBAL PROPERTY TUBEBRIDGE_WINE_ENVIRONMENT WINEPREFIX=${prefix}
        WINEPATH=${wine_path} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
        WINEQT_FORCE_STDERR_LOGGING=1 WINEQT_QPA_FONTDIR=${wine_font_dir})
endfunction()

function(tubebridge_tests_run_under_wine)
    get_property(wine_env GLOBAL PROPERTY TUBEBRIDGE_WINE_ENVIRONMENT)
    get_property(scheduled DIRECTORY PROPERTY TUBEBRIDGE_WINE_SCHEDULED)
    if(wine_env AND NOT scheduled)
        set_property(DIRECTORY PROPERTY TUBEBRIDGE_WINE_SCHEDULED ON)
        cmake_language(DEFER CALL tubebridge_wine_environment_here)
    endif()
endfunction()

# Every test of this folder, with the environment it was given, under Wine.
function(tubebridge_wine_environment_here)
    get_property(wine_env GLOBAL PROPERTY TUBEBRIDGE_WINE_ENVIRONMENT)
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test IN LISTS tests)
        get_test_property(${test} ENVIRONMENT env)
        if(NOT env)
            set(env)
        endif()
        list(TRANSFORM env REPLACE "^QT_" "WINEQT_")
        list(APPEND env ${wine_env})
        set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env}" FIXTURES_REQUIRED wine)
    endforeach()
endfunction()
