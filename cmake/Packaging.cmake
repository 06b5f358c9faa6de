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
set(KORVALO_APPSTREAM_ID example.korvalo.Korvalo)
install(FILES resources/desktop/korvalo.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo RENAME ${KORVALO_APPSTREAM_ID}.metainfo.xml)

# Manual pages and the Debian changelog go in as Debian wants them: gzip -9 without a
# timestamp, so that equal sources give equal packages.
set(korvalo_gz)
foreach(source docs/man/korvalo.1 docs/man/korvalo-plan.1 packaging/changelog)
    get_filename_component(name ${source} NAME)
    set(gz ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/${source} > ${gz}
        DEPENDS ${source} VERBATIM)
    list(APPEND korvalo_gz ${gz})
endforeach()
add_custom_target(korvalo_compressed_docs ALL DEPENDS ${korvalo_gz})
install(FILES ${CMAKE_BINARY_DIR}/packaging/korvalo.1.gz ${CMAKE_BINARY_DIR}/packaging/korvalo-plan.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/korvalo)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/korvalo RENAME changelog.Debian.gz)
install(FILES packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME korvalo)

# cpack -G DEB in the build folder, or scripts/package.
set(CPACK_PACKAGE_NAME korvalo)
set(CPACK_PACKAGE_VENDOR "Korvalo Software")
set(CPACK_PACKAGE_CONTACT "Korvalo Packaging Team <packaging@korvalo.example>")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The changelog's newest entry names the version the package is built as.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog korvalo_changelog_head LIMIT_COUNT 1)
set(korvalo_deb_version ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
if(NOT korvalo_changelog_head MATCHES "^korvalo \\(${korvalo_deb_version}\\) ")
    message(FATAL_ERROR "packaging/changelog does not start with version ${korvalo_deb_version}")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "weight-reduction plans for overweight pets")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Korvalo makes weight-reduction plans for overweight pets, for veterinary\n"
    "practices: from the owner's and the pet's data it derives the overweight,\n"
    "proposes weekly reduction rates, simulates the weight day by day and draws\n"
    "the reduction curve. It prints an eight-week feeding diary and an\n"
    "information sheet for the owner, and keeps every weighing of a case for\n"
    "the follow-up visits. The program speaks German.\n"
    "\n"
    "The package also holds korvalo-plan, which computes and prints plans\n"
    "from the command line for practice systems and scripts.\n"
    "\n"
    "Korvalo erstellt für Tierarztpraxen Gewichtsreduktionspläne für\n"
    "übergewichtige Haustiere: Reduktionskurve, achtwöchiges\n"
    "Fütterungstagebuch und Informationsblatt für den Tierhalter.")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.korvalo.example/)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The Qt libraries come from dpkg-shlibdeps, and with the browser module also the web engine's
# helper process (libqt6webenginecore6-bin, named by the engine's shlibs). These are loaded at
# run time and invisible to it: the SVG icon engine, Qt's German texts, the metric twin of
# Arial, the opener of mail links, web pages and the help.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n, fonts-liberation2, xdg-utils")
include(CPack)
