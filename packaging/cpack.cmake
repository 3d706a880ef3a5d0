# The Debian package: `cpack -G DEB` in a configured build folder makes
# pasdraw_<version>_amd64.deb from the "pasdraw" install component (the program,
# its desktop entry, icons and AppStream record), with its library
# dependencies found by dpkg-shlibdeps. Package from a build without tests
# (-DPASDRAW_BUILD_TESTS=OFF) in Release; scripts/check-deb.sh installs the
# result into a fresh Debian root and starts it.

set(PASDRAW_PACKAGE_MAINTAINER "pasdraw maintainers <maintainers@users.noreply.c-seed-9132367c.example>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pasdraw)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "pasdraw")
set(CPACK_PACKAGE_CONTACT "${PASDRAW_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drawing editor that writes Pascal graph unit statements")
set(CPACK_PACKAGE_DESCRIPTION
    "pasdraw is a drawing editor whose product is program text. You draw lines,\n\
rectangles, ellipses, circles and flood fills in fifteen colours on a black\n\
canvas, and pasdraw writes the Pascal statements of the BGI graph unit that\n\
draw the same picture on a 640 x 480 screen, with absolute coordinates or\n\
relative to a movable origin. Save writes the text as a complete program.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Only the program's own files, whatever else the build folder would install.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};pasdraw;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${PASDRAW_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
