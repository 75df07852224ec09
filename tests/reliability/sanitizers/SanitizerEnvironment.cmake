# The environment that every test process needs in a sanitizer build; the
# programs the tests start (glut-alap, Xvfb) inherit it.
#
#   SANITIZER_TEST_ENVIRONMENT        "NAME=value" entries, empty when
#                                     GLUT_ALAP_SANITIZE is OFF. For tests made
#                                     with add_test:
#                                     set_tests_properties(T PROPERTIES ENVIRONMENT "${SANITIZER_TEST_ENVIRONMENT}")
#   use_sanitizer_environment(TARGET) for GoogleTest executables, before
#                                     gtest_discover_tests(TARGET ...): runs the
#                                     listing and every discovered test through
#                                     `env` with these entries. (CMake 3.25's
#                                     gtest_discover_tests keeps only the first
#                                     entry of a list given as PROPERTIES ENVIRONMENT.)
set(SANITIZER_TEST_ENVIRONMENT "")

function(use_sanitizer_environment target)
    if(SANITIZER_TEST_ENVIRONMENT)
        set_target_properties(${target} PROPERTIES
            CROSSCOMPILING_EMULATOR "/usr/bin/env;${SANITIZER_TEST_ENVIRONMENT}")
    endif()
endfunction()

if(NOT GLUT_ALAP_SANITIZE)
    return()
endif()

# Mesa's software driver, kept loaded so that leaks inside it are attributed
# to it (and suppressed by name) instead of to an "<unknown module>".
find_file(GLUT_ALAP_SOFTWARE_GL_DRIVER swrast_dri.so
    PATHS /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/dri /usr/lib64/dri /usr/lib/dri
    NO_DEFAULT_PATH)
if(NOT GLUT_ALAP_SOFTWARE_GL_DRIVER)
    message(FATAL_ERROR "Mesa's swrast_dri.so not found (Debian package libgl1-mesa-dri)")
endif()

set(SANITIZER_TEST_ENVIRONMENT
    # The preloaded driver comes before the sanitizer runtime in the library
    # list; that is harmless (the driver defines no allocator), but ASan
    # refuses to start unless told so.
    "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1"
    "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp:print_suppressions=0"
    # No UBSan suppressions: only the project's own code is instrumented.
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    "LD_PRELOAD=${GLUT_ALAP_SOFTWARE_GL_DRIVER}")
