# Install rules and the Debian package. `cmake --install build --prefix DIR`
# lays the programs and their data out as a Linux application expects;
# `cpack -G DEB` (in the build tree) packs the same files for /usr, with the
# package's dependencies worked out from the programs' libraries.
include(GNUInstallDirs)

set(PRAX_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(PRAX_GENERATED_DATA ${PROJECT_BINARY_DIR}/data)

# Man pages and AppStream metainfo carry the project's version.
foreach(page prax-format.1 prax.1)
  configure_file(${PRAX_DATA_DIR}/man/${page}.in ${PRAX_GENERATED_DATA}/${page} @ONLY)
endforeach()
configure_file(${PRAX_DATA_DIR}/prax.metainfo.xml.in ${PRAX_GENERATED_DATA}/${PRAX_APP_ID}.metainfo.xml @ONLY)

install(TARGETS prax-format RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PRAX_GENERATED_DATA}/prax-format.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES LICENSE README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TARGET prax)
  install(TARGETS prax RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PRAX_GENERATED_DATA}/prax.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES app/resources/prax.html DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PRAX_DATA_DIR}/prax.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
          RENAME ${PRAX_APP_ID}.desktop)
  install(FILES ${PRAX_GENERATED_DATA}/${PRAX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${PRAX_DATA_DIR}/icons/prax.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 48 256)
    install(FILES ${PRAX_DATA_DIR}/icons/prax-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME prax.png)
  endforeach()

  # The D-Bus service names the installed program, so it is written when the
  # install runs: the prefix is known only then (--prefix, or /usr for the
  # package), and a path of the build machine must not end up in it.
  install(CODE "
    set(bindir \"${CMAKE_INSTALL_BINDIR}\")
    if(NOT IS_ABSOLUTE \"\${bindir}\")
      set(bindir \"\${CMAKE_INSTALL_PREFIX}/\${bindir}\")
    endif()
    set(PRAX_SERVICE_EXEC \"\${bindir}/prax\")
    configure_file(\"${PRAX_DATA_DIR}/prax.service.in\" \"${PRAX_GENERATED_DATA}/Prax.Document.service\" @ONLY)
  ")
  install(FILES ${PRAX_GENERATED_DATA}/Prax.Document.service DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/services)
  # An installed prax finds that file from its own place and then writes no
  # per-user copy at start (an uninstalled build still does).
  file(RELATIVE_PATH prax_service_from_bindir ${CMAKE_INSTALL_FULL_BINDIR}
       ${CMAKE_INSTALL_FULL_DATADIR}/dbus-1/services/Prax.Document.service)
  target_compile_definitions(prax_shell PRIVATE PRAX_INSTALLED_SERVICE_FILE="${prax_service_from_bindir}")

  # Redraws the committed PNG icons from the SVG (needs rsvg-convert from
  # librsvg2-bin); not built by default.
  add_custom_target(prax_render_icons
    COMMAND rsvg-convert -w 48 -h 48 -o ${PRAX_DATA_DIR}/icons/prax-48.png ${PRAX_DATA_DIR}/icons/prax.svg
    COMMAND rsvg-convert -w 256 -h 256 -o ${PRAX_DATA_DIR}/icons/prax-256.png ${PRAX_DATA_DIR}/icons/prax.svg
    VERBATIM)
endif()

set(CPACK_PACKAGE_NAME prax)
set(CPACK_PACKAGE_VENDOR "Prax project")
set(CPACK_PACKAGE_CONTACT "Prax maintainers <prax-maintainers@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SQL editor and beautifier for scripts and embedded SQL")
set(CPACK_PACKAGE_DESCRIPTION "Prax lays out SQL: it indents clauses, lines up lists and conditions and
sets the case of keywords, and changes nothing else. It formats plain SQL
scripts and the EXEC SQL statements of C and COBOL sources. The package holds
the editor prax and the command-line formatter prax-format.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "dbus-user-session")
include(CPack)
