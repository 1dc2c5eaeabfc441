# Installation layout and the two packages: a Debian package for Linux and a
# zip for Windows. `make package` builds both.

set(MOVREK_EXAMPLE_FILES
  ${PROJECT_SOURCE_DIR}/examples/movrek.cfg
  ${PROJECT_SOURCE_DIR}/examples/newfile.rpt
  ${PROJECT_SOURCE_DIR}/examples/header.txt
  ${PROJECT_SOURCE_DIR}/examples/footer.txt
  ${PROJECT_SOURCE_DIR}/examples/nodelist.hdr
  ${PROJECT_SOURCE_DIR}/examples/newfiles.lst)

if(WIN32)
  # Everything beside the executable, as a sysop unpacks it into one directory.
  install(TARGETS movrek32 movrek32-check RUNTIME DESTINATION .)
  # The standard record template beside the executable, where it is looked for.
  install(FILES ${PROJECT_SOURCE_DIR}/examples/newfile.rpt DESTINATION .)
  install(FILES ${MOVREK_EXAMPLE_FILES} DESTINATION examples)
  # The README as a DOS text: CP866 with CR LF.
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/README.txt
    COMMAND iconv -f UTF-8 -t CP866//TRANSLIT ${PROJECT_SOURCE_DIR}/README.md
            | sed -e "s/$/\\r/" > ${CMAKE_CURRENT_BINARY_DIR}/README.txt
    DEPENDS ${PROJECT_SOURCE_DIR}/README.md
    VERBATIM)
  add_custom_target(readme_cp866 ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME movrek32-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  include(GNUInstallDirs)
  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/movrek32)
  # The program looks for movrek.cfg and newfile.rpt in its own directory, so
  # it lives in a directory of its own, with a link on the PATH. The link is
  # resolved to the real executable when the program finds its directory.
  set(program_dir lib/movrek32)
  install(TARGETS movrek32 movrek32-check RUNTIME DESTINATION ${program_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/examples/newfile.rpt DESTINATION ${program_dir})
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/links)
  file(CREATE_LINK ../${program_dir}/movrek32 ${CMAKE_CURRENT_BINARY_DIR}/links/movrek32 SYMBOLIC)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/links/movrek32 DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The checker finds movrek.cfg and newfile.rpt the same way.
  file(CREATE_LINK ../${program_dir}/movrek32-check ${CMAKE_CURRENT_BINARY_DIR}/links/movrek32-check
       SYMBOLIC)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/links/movrek32-check DESTINATION ${CMAKE_INSTALL_BINDIR})

  # Manual pages and changelogs are installed compressed, as Debian wants them.
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/movrek32.1.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/movrek32.1 > ${CMAKE_CURRENT_BINARY_DIR}/movrek32.1.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/movrek32.1
    VERBATIM)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/movrek32-check.1.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/movrek32-check.1 > ${CMAKE_CURRENT_BINARY_DIR}/movrek32-check.1.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/movrek32-check.1
    VERBATIM)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/changelog.Debian > ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/changelog.Debian
    VERBATIM)
  add_custom_target(docs ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/movrek32.1.gz
                                     ${CMAKE_CURRENT_BINARY_DIR}/movrek32-check.1.gz
                                     ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/movrek32.1.gz
                ${CMAKE_CURRENT_BINARY_DIR}/movrek32-check.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
                ${PROJECT_SOURCE_DIR}/docs/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
          DESTINATION ${doc_dir})
  install(FILES ${MOVREK_EXAMPLE_FILES} DESTINATION ${doc_dir}/examples)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION net)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/movrek32")
endif()

set(CPACK_PACKAGE_NAME movrek32)
set(CPACK_PACKAGE_VENDOR "the movrek32 authors")
set(CPACK_PACKAGE_CONTACT "movrek32 authors <movrek32@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "FidoNet new-file announcement report writer")
set(CPACK_PACKAGE_DESCRIPTION
"movrek32 reads the new-files list that a FidoNet file processor writes about
received files and turns it into plain-text announcement reports, one per
report group: files listed area by area, sorted by name, with sizes,
word-wrapped descriptions, origins and per-area totals, framed by header and
footer text. Reports are CP866 text with CR LF line ends.")
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)
