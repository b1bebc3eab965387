# Installation and the Debian package.
#
#   cmake --install build [--prefix P]     (make install, PREFIX=/usr/local)
#   make package                           (a .deb built with CPack)
#
# Installed: the two programs; the data files in share/qbn-preset-editor,
# where the programs find them relative to their own place; the desktop
# entry, the icon at several sizes, the preset file type; man pages and the
# README.
if(NOT TARGET qbn-preset-editor)
  return()
endif()

include(GNUInstallDirs)
set(QBN_SHARE ${CMAKE_INSTALL_DATADIR}/qbn-preset-editor)

install(TARGETS qbn-preset-editor qpx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/wizards.xml data/MV517_rear.jpg DESTINATION ${QBN_SHARE})
install(FILES packaging/qbn-preset-editor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/qbn-preset-editor-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME qbn-preset-editor.xml)
foreach(size 16 32 48 64 128 256)
  install(FILES packaging/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME qbn-preset-editor.png)
endforeach()
install(FILES packaging/qbn-preset-editor.1 packaging/qpx.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qbn-preset-editor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qbn-preset-editor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QBN")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "preset editor and wizard for the MV517 and MV961 loudspeaker controllers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Builds presets for the MV517 (four channels) and MV961 (two channels):\n\
routing, levels and groups, polarity, crossovers, six EQ bands, limiter and\n\
delay per channel, with response plots, signal-flow and routing diagrams and a\n\
wizard. Presets are stored as .qpx files; the qpx command checks, shows,\n\
converts, plots and generates them.")
set(CPACK_PACKAGE_CONTACT "QBN Preset Editor developers <presets@qbn.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1, libglib2.0-0 (>= 2.58), libcairo2 (>= 1.16), libgtk2.0-0 (>= 2.24), libgdk-pixbuf-2.0-0, libnlopt0")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
