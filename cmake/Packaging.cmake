# SPDX-License-Identifier: GPL-3.0-or-later
# Installation layout and the Debian package. Included at the end of the top-level list.
include(GNUInstallDirs)

install(TARGETS korvalo korvalo-plan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Found by ProgramFolder::dataFile as <bindir>/../share/korvalo.
set(KORVALO_DATADIR ${CMAKE_INSTALL_DATAROOTDIR}/korvalo)
install(FILES resources/kvl_logo.gif resources/kvl_logo100.gif DESTINATION ${KORVALO_DATADIR})
# Checked when installing, not when configuring: the help may arrive after the build tree.
install(FILES resources/Anleitung.mht DESTINATION ${KORVALO_DATADIR} OPTIONAL)

# The program looks for the module in <bindir>/../${KORVALO_MODULEDIR}.
if(TARGET korvalo_browser)
    install(TARGETS korvalo_browser LIBRARY DESTINATION ${KORVALO_MODULEDIR})
endif()

install(FILES resources/desktop/korvalo.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES resources/icons/korvalo.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES resources/desktop/application-x-korvalo-case.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/mimetypes)
install(FILES resources/desktop/korvalo-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages RENAME korvalo.xml)

# cpack -G DEB in the build folder, or scripts/package.
set(CPACK_PACKAGE_NAME korvalo)
set(CPACK_PACKAGE_VENDOR "Korvalo Software")
set(CPACK_PACKAGE_CONTACT "Korvalo Software <kontakt@korvalo.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Korvalo erstellt für Tierarztpraxen Gewichtsreduktionspläne für übergewichtige\n"
    "Haustiere: Reduktionskurve, achtwöchiges Fütterungstagebuch und Informationsblatt\n"
    "für den Tierhalter. Dazu das Kommandozeilenprogramm korvalo-plan.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The Qt libraries come from dpkg-shlibdeps; these are loaded at run time and invisible to
# it: the SVG icon engine, Qt's German texts, the metric twin of Arial, the opener of mail
# links, web pages and the help, and with the browser module the web engine's helper process.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(korvalo_runtime libqt6svg6 qt6-translations-l10n fonts-liberation2 xdg-utils)
if(TARGET korvalo_browser)
    list(APPEND korvalo_runtime libqt6webenginecore6-bin)
endif()
list(JOIN korvalo_runtime ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
include(CPack)
