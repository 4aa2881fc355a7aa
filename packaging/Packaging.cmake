# Installation (cmake --install build --prefix P) and the Debian package (cpack -G DEB in build/).
# What the program reads at run time is built into it (schema, demo data, Def and Lavoro, the
# XBRL reference data) or belongs to Qt (its translations), so the installed program needs no
# data folder of its own: P/bin/ktr runs from anywhere.
include(GNUInstallDirs)

target_compile_definitions(ktr PRIVATE KTR_VERSION="${PROJECT_VERSION}")
install(TARGETS ktr RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Icons: the SVG is drawn by hand, the PNG sizes are rendered from it; the window's own icon
# is built into the program.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(KTR_ICON_SVG ${CMAKE_SOURCE_DIR}/packaging/ktr.svg)
set(KTR_ICON_PNG)
foreach(size 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icone/${size}/ktr.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icone/${size}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${KTR_ICON_SVG}
    DEPENDS ${KTR_ICON_SVG}
    VERBATIM)
  list(APPEND KTR_ICON_PNG ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${KTR_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
qt_add_resources(ktr icone PREFIX /icone BASE ${CMAKE_BINARY_DIR}/icone
                 FILES ${CMAKE_BINARY_DIR}/icone/48/ktr.png ${CMAKE_BINARY_DIR}/icone/256/ktr.png)
add_custom_target(ktr-icone ALL DEPENDS ${KTR_ICON_PNG})

# The manual page: its options are the program's own --help.
set(KTR_MAN ${CMAKE_BINARY_DIR}/ktr.1)
add_custom_command(OUTPUT ${KTR_MAN}
  COMMAND ${CMAKE_COMMAND} -DKTR=$<TARGET_FILE:ktr> -DMODELLO=${CMAKE_SOURCE_DIR}/packaging/ktr.1.in
          -DVERSIONE=${PROJECT_VERSION} -DUSCITA=${KTR_MAN} -P ${CMAKE_SOURCE_DIR}/packaging/ManPage.cmake
  DEPENDS ktr ${CMAKE_SOURCE_DIR}/packaging/ktr.1.in ${CMAKE_SOURCE_DIR}/packaging/ManPage.cmake
  COMMENT "Pagina di manuale ktr.1"
  VERBATIM)
add_custom_target(ktr-man ALL DEPENDS ${KTR_MAN})
install(FILES ${KTR_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES packaging/ktr.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/ktr-xbrl.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ktr.xml)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: ktr_<version>_<arch>.deb. The libraries' packages are computed by
# dpkg-shlibdeps; what it cannot see is named: the SQL drivers Qt loads as plugins and
# the translations of Qt's own dialogs.
set(KTR_MAINTAINER "Sviluppo KTR <ktr@localhost>" CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ktr)
set(CPACK_PACKAGE_VENDOR KTR)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Importazione valori PDC nel database di analisi")
set(CPACK_PACKAGE_DESCRIPTION
    "Importa il bilancio di verifica delle ditte (un importo per conto, anno, mese e periodo) nel "
    "database di analisi SQLite o PostgreSQL: da file di testo descritti da file di definizione, da "
    "esportazioni Kadro e CEE e dai bilanci XBRL della tassonomia itcc-ci. Con finestra o da riga di comando.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KTR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-translations-l10n")
# The web exchange rates come over HTTPS.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates")
include(CPack)
