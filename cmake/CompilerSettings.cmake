# Compiler options shared by every target of the project.

# Flags for the project's own sources only; GL, GLUT and GoogleTest headers
# come in as system headers and are not held to them.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
    -Wall            # the common set of likely mistakes
    -Wextra          # unused parameters, sign comparisons and more
    -Wpedantic       # no compiler extensions: the code must build with other compilers
    -Wshadow         # a local that hides a field or global is a bug waiting to happen
    -Wconversion     # silent narrowing, e.g. double to the float fields of the scene
    -Wsign-conversion
    -Wold-style-cast # C++ casts say which conversion is meant
    -Wnon-virtual-dtor
    -Wformat=2)      # printf formats checked against their arguments
if(GLUT_ALAP_WARNINGS_AS_ERRORS)
    target_compile_options(project_warnings INTERFACE -Werror)
endif()

# Options that must reach compile and link steps alike (the sanitizers).
add_library(project_options INTERFACE)
if(GLUT_ALAP_SANITIZE)
    set(_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(project_options INTERFACE ${_sanitizers})
    target_link_options(project_options INTERFACE ${_sanitizers})
endif()
