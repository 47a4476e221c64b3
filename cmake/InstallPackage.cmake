# "cpack -G DEB" in the build folder (scripts/package builds a Release one).
# The dependencies are not typed here: dpkg-shlibdeps (dpkg-dev) reads them
# off the installed executables, so they follow the Qt 6 and libpng the
# program was linked against.
set(CPACK_PACKAGE_NAME kestrix)
set(CPACK_PACKAGE_VENDOR "The Kestrix developers")
set(CPACK_PACKAGE_CONTACT "Kestrix developers <kestrix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "terminal and program loader for Parallax Propeller microcontrollers")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The long description below the summary line; CPack indents it and turns
# the empty lines into the " ." that separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kestrix talks to a Propeller chip over one serial port. In its window it
is the chip's display (text, colours and pixel graphics), its keyboard and
mouse, its clock and its file server.

It loads Propeller 1 images (.binary into RAM, .eeprom into the boot EEPROM)
through the chip's ROM boot loader, from the window or from the console,
where the exit status tells a script whether the program runs, and
Propeller 2 object files through the chip's monitor.

kestrix-render decodes a recorded byte stream into a screen image.")

include(CPack)
