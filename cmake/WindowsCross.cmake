# Settings of the Windows cross build that belong to the project rather than
# to the toolchain: where the MinGW builds of Qt, libpng, zlib and GoogleTest
# are (KESTRIX_WINDOWS_PREFIX, the folder scripts/windows-qt prints), and the
# host's Qt of the same version whose moc, rcc and uic the cross Qt uses.
set(KESTRIX_WINDOWS_PREFIX "" CACHE PATH
    "Folder with the MinGW builds of Qt, libpng, zlib and GoogleTest")
if(KESTRIX_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${KESTRIX_WINDOWS_PREFIX})
  list(APPEND CMAKE_PREFIX_PATH ${KESTRIX_WINDOWS_PREFIX})
endif()
set(QT_HOST_PATH /usr CACHE PATH "The host's Qt, for moc, rcc and uic")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH
    "The host Qt's CMake package folder")
# Wine prints its own diagnostics on stderr unless told not to.
set(KESTRIX_WINE_ENVIRONMENT "WINEDEBUG=-all")
