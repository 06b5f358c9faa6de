# SPDX-License-Identifier: GPL-3.0-or-later
# Installation layout, as the Debian package (debian/) and any other install use it. Included
# at the end of the top-level list, so it sees every target.
include(GNUInstallDirs)

# debian/changelog's newest entry must name this version, or the package would carry one
# version outside and another inside.
file(STRINGS ${PROJECT_SOURCE_DIR}/debian/changelog korvalo_changelog_head LIMIT_COUNT 1)
string(REPLACE "." "\\." korvalo_version_pattern ${PROJECT_VERSION})
if(NOT korvalo_changelog_head MATCHES "^korvalo \\(${korvalo_version_pattern}-[0-9][^)]*\\) ")
    message(FATAL_ERROR "debian/changelog starts with \"${korvalo_changelog_head}\", "
                        "not with version ${PROJECT_VERSION}")
endif()

install(TARGETS korvalo korvalo-plan RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Found by ProgramFolder::dataFile as <bindir>/../share/korvalo.
set(KORVALO_DATADIR ${CMAKE_INSTALL_DATAROOTDIR}/korvalo)
install(FILES resources/kvl_logo.gif resources/kvl_logo100.gif ${CMAKE_BINARY_DIR}/Anleitung.mht
        DESTINATION ${KORVALO_DATADIR})

# The program looks for the module in <bindir>/../${KORVALO_MODULEDIR}.
if(TARGET korvalo_browser)
    install(TARGETS korvalo_browser LIBRARY DESTINATION ${KORVALO_MODULEDIR})
endif()

# The desktop entry, its icon and the case files' type. The AppStream id and the desktop
# file's name are one; the manual pages and the AppStream release take the version from here.
set(KORVALO_APP_ID example.korvalo.korvalo)
set(KORVALO_MODULE_DIR ${CMAKE_INSTALL_FULL_LIBDIR}/korvalo)
configure_file(resources/desktop/${KORVALO_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/desktop/${KORVALO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/desktop/${KORVALO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES resources/desktop/${KORVALO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES resources/desktop/korvalo-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages RENAME korvalo.xml)
install(FILES resources/icons/korvalo.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES resources/desktop/application-x-korvalo-case.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/mimetypes)
# Pictures for the menus and software centres that take no SVG, drawn from it at build time.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(korvalo_pngs)
foreach(size 48 64 128 256)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}/korvalo.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
        COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --keep-aspect-ratio
                --output=${png} ${PROJECT_SOURCE_DIR}/resources/icons/korvalo.svg
        DEPENDS resources/icons/korvalo.svg VERBATIM)
    list(APPEND korvalo_pngs ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(korvalo_icons ALL DEPENDS ${korvalo_pngs})

# English manual pages in man1, the German ones in de/man1.
foreach(lang en de)
    set(dir ${CMAKE_INSTALL_MANDIR}/man1)
    set(source docs/man)
    if(NOT lang STREQUAL en)
        set(dir ${CMAKE_INSTALL_MANDIR}/${lang}/man1)
        set(source docs/man/${lang})
    endif()
    foreach(page korvalo.1 korvalo-plan.1)
        configure_file(${source}/${page}.in ${CMAKE_BINARY_DIR}/man/${lang}/${page} @ONLY)
        install(FILES ${CMAKE_BINARY_DIR}/man/${lang}/${page} DESTINATION ${dir})
    endforeach()
endforeach()
