# Installs Kestrix like a desktop program:
#   bin/kestrix, bin/kestrix-render, bin/kestrix-sim (where it is built)
#   share/applications/kestrix.desktop
#   share/icons/hicolor/<size>x<size>/apps/kestrix.png
#   share/doc/kestrix/README.md, LICENSE and the README's screenshot
#   share/man/man1/kestrix.1, kestrix-sim.1, kestrix-render.1
# Help > Website opens the README at ../share/doc/kestrix from the folder of
# the executable, so the two destinations below must stay side by side.
include(GNUInstallDirs)

set(KESTRIX_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/kestrix)

foreach(program kestrix kestrix-render kestrix-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/kestrix.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
foreach(size 48 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/kestrix-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
          RENAME kestrix.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${KESTRIX_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/screenshot.png
        DESTINATION ${KESTRIX_DOC_DIR}/docs)
install(FILES ${PROJECT_SOURCE_DIR}/docs/kestrix.1
              ${PROJECT_SOURCE_DIR}/docs/kestrix-sim.1
              ${PROJECT_SOURCE_DIR}/docs/kestrix-render.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
