# The Debian package, made by CPack from what `cmake --install` puts under
# the prefix (/usr for the package).  The libraries it needs are read off the
# executables by dpkg-shlibdeps; only what no executable links is named here:
# the fonts the windows and the report are laid out for, and the German texts
# of Qt's own dialog buttons.

set(VELTRANO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/veltrano)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${VELTRANO_INSTALL_DOCDIR})
if(UNIX AND NOT APPLE)
  # A package made here is a native one: its changelog goes as changelog.gz.
  set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
  add_custom_command(
    OUTPUT ${changelog}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/changelog ${changelog}
    COMMAND ${GZIP_PROGRAM} -9 -n -f ${changelog}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
    VERBATIM)
  add_custom_target(package_changelog ALL DEPENDS ${changelog}.gz)
  install(FILES ${changelog}.gz DESTINATION ${VELTRANO_INSTALL_DOCDIR})
endif()

set(CPACK_PACKAGE_NAME veltrano)
set(CPACK_PACKAGE_VENDOR "Veltrano")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Grenzwerte für Schweißnähte nach DIN EN ISO 5817")
set(CPACK_PACKAGE_DESCRIPTION
"Veltrano zeigt für eine Schweißnaht, Unregelmäßigkeit für Unregelmäßigkeit,
den zulässigen Grenzwert, den DIN EN ISO 5817 für genau diese Naht festlegt:
nach Nahtart, Bewertungsgruppe B, C oder D, Dicke, Nahtlänge, Nahtbreite und
Wurzelbreite, auch für Schweißerprüfungen und Eisenbahnbrücken. Alle
Grenzwerte einer Naht ergeben einen Bericht auf drei A4-Seiten.
.
Der Befehl veltrano-limits liefert dieselben Grenzwerte ohne Fenster.")
set(CPACK_STRIP_FILES ON)

if(UNIX AND NOT APPLE)
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Veltrano-Entwicklung <entwicklung@veltrano.de>")
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
