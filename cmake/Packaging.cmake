# A Debian package of the program: `cpack` in the build folder writes
# glut-alap_VERSION_ARCH.deb, which installs /usr/bin/glut-alap. Only Linux
# is tested; elsewhere cpack makes a plain ZIP of the installed program.
#
# Its dependencies are not listed by hand: dpkg-shlibdeps (Debian package
# dpkg-dev) reads the libraries the program is linked with (freeglut's
# libglut, GLVND's libOpenGL and libGLX, the C library) and names the
# packages that provide them; Debian's libglx0 in turn brings Mesa.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR DEB)
else()
    set(CPACK_GENERATOR ZIP)  # untested: the installed tree as an archive, no dependencies
endif()
set(CPACK_PACKAGE_NAME glut-alap)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Small animated GLUT/OpenGL demonstration program")
set(CPACK_PACKAGE_DESCRIPTION
    "A window shows a figure spiralling down a green trunk. The arrow keys turn the scene, a right-click menu switches to wireframe drawing or quits.")
set(CPACK_PACKAGE_CONTACT "GLUT Alap developers")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # name_version_architecture.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The build keeps debug information (RelWithDebInfo); the package need not.
set(CPACK_STRIP_FILES ON)
include(CPack)
