# Installation layout and the two packages: a Debian package for Linux and a
# zip for Windows. `make package` builds both.

set(MOVREK_EXAMPLE_FILES
  ${PROJECT_SOURCE_DIR}/examples/movrek.cfg
  ${PROJECT_SOURCE_DIR}/examples/newfile.rpt
  ${PROJECT_SOURCE_DIR}/examples/header.txt
  ${PROJECT_SOURCE_DIR}/examples/footer.txt
  ${PROJECT_SOURCE_DIR}/examples/nodelist.hdr
  ${PROJECT_SOURCE_DIR}/examples/newfiles.lst)

# The README without its developers' parts (building, tests, sources) and
# without the other system's: user/README.md for Debian, and for Windows
# README.txt, a text for Notepad.
if(WIN32)
  set(MOVREK_USER_README ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
  set(readme_for windows)
else()
  set(MOVREK_USER_README ${CMAKE_CURRENT_BINARY_DIR}/user/README.md)
  set(readme_for debian)
endif()
add_custom_command(
  OUTPUT ${MOVREK_USER_README}
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/README.md -DOUT=${MOVREK_USER_README}
          -DFOR=${readme_for} -P ${PROJECT_SOURCE_DIR}/cmake/user-readme.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/user-readme.cmake
  VERBATIM)

if(WIN32)
  # Everything beside the executable, as a sysop unpacks it into one directory.
  install(TARGETS movrek32 movrek32-check RUNTIME DESTINATION .)
  # The standard record template and the commented configuration beside the
  # executable, where they are looked for.
  install(FILES ${PROJECT_SOURCE_DIR}/examples/newfile.rpt DESTINATION .)
  install(FILES ${MOVREK_EXAMPLE_FILES} ${PROJECT_SOURCE_DIR}/examples/nightly.bat
          DESTINATION examples)
  # The configuration as a DOS text, with CR LF.
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/dos/movrek.cfg
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/dos
    COMMAND sed -e "s/$/\\r/" ${PROJECT_SOURCE_DIR}/packaging/movrek.cfg
            > ${CMAKE_CURRENT_BINARY_DIR}/dos/movrek.cfg
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/movrek.cfg
    VERBATIM)
  add_custom_target(windows_texts ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/README.txt
                                             ${CMAKE_CURRENT_BINARY_DIR}/dos/movrek.cfg)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dos/movrek.cfg DESTINATION .)
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
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/links)
  file(CREATE_LINK ../${program_dir}/movrek32 ${CMAKE_CURRENT_BINARY_DIR}/links/movrek32 SYMBOLIC)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/links/movrek32 DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The checker finds movrek.cfg and newfile.rpt the same way.
  file(CREATE_LINK ../${program_dir}/movrek32-check ${CMAKE_CURRENT_BINARY_DIR}/links/movrek32-check
       SYMBOLIC)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/links/movrek32-check DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The configuration and the record template are the sysop's to edit, so they
  # live in the system configuration directory, with links to them beside the
  # program. Where that directory is under the prefix (etc/movrek32 there) it
  # is reached by relative links, so that the tree can be installed anywhere;
  # where it is not (/etc for the prefix /usr), by absolute ones.
  if(CMAKE_INSTALL_FULL_SYSCONFDIR STREQUAL "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_SYSCONFDIR}")
    set(config_dir ${CMAKE_INSTALL_SYSCONFDIR}/movrek32)
    set(config_link ../../${config_dir})
  else()
    set(config_dir ${CMAKE_INSTALL_FULL_SYSCONFDIR}/movrek32)
    set(config_link ${config_dir})
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/movrek.cfg ${PROJECT_SOURCE_DIR}/examples/newfile.rpt
          DESTINATION ${config_dir})
  foreach(name movrek.cfg newfile.rpt)
    file(CREATE_LINK ${config_link}/${name} ${CMAKE_CURRENT_BINARY_DIR}/links/${name} SYMBOLIC)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/links/${name} DESTINATION ${program_dir})
  endforeach()

  # The manual page is installed compressed, and so are the changelog and
  # every document over 4 kB, as Debian wants them.
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/movrek32.1.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/movrek32.1 > ${CMAKE_CURRENT_BINARY_DIR}/movrek32.1.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/movrek32.1
    VERBATIM)
  set(doc_stage ${CMAKE_CURRENT_BINARY_DIR}/doc-stage)
  add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/movrek32-check.1.gz
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/docs/movrek32-check.1 > ${CMAKE_CURRENT_BINARY_DIR}/movrek32-check.1.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/movrek32-check.1
    VERBATIM)
  add_custom_command(
    OUTPUT ${doc_stage}.stamp
    COMMAND ${CMAKE_COMMAND} -DSTAGE=${doc_stage}
            -DCHANGELOG=${PROJECT_SOURCE_DIR}/docs/changelog.Debian
            -DCOPYRIGHT=${PROJECT_SOURCE_DIR}/docs/copyright
            "-DFILES=${CMAKE_CURRENT_BINARY_DIR}/user/README.md;${PROJECT_SOURCE_DIR}/CHANGELOG.md"
            -P ${PROJECT_SOURCE_DIR}/cmake/stage-docs.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${doc_stage}.stamp
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/user/README.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md
            ${PROJECT_SOURCE_DIR}/docs/changelog.Debian ${PROJECT_SOURCE_DIR}/docs/copyright
            ${PROJECT_SOURCE_DIR}/cmake/stage-docs.cmake
    VERBATIM)
  add_custom_target(docs ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/movrek32.1.gz
                                     ${CMAKE_CURRENT_BINARY_DIR}/movrek32-check.1.gz ${doc_stage}.stamp)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/movrek32.1.gz ${CMAKE_CURRENT_BINARY_DIR}/movrek32-check.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(DIRECTORY ${doc_stage}/ DESTINATION ${doc_dir})
  install(FILES ${MOVREK_EXAMPLE_FILES} ${PROJECT_SOURCE_DIR}/examples/nightly.sh
          DESTINATION ${doc_dir}/examples)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION net)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The conffiles in /etc/movrek32, and the maintainer scripts that move a
  # sysop's files from /usr/lib/movrek32 (where they had to go before) there.
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
      ${PROJECT_SOURCE_DIR}/packaging/deb/conffiles ${PROJECT_SOURCE_DIR}/packaging/deb/preinst
      ${PROJECT_SOURCE_DIR}/packaging/deb/postinst ${PROJECT_SOURCE_DIR}/packaging/deb/postrm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

set(CPACK_PACKAGE_NAME movrek32)
set(CPACK_PACKAGE_VENDOR "the movrek32 authors")
# The package's maintainer: whoever builds it, named as Debian's tools name
# them (DEBFULLNAME and DEBEMAIL), or the authors.
if(DEFINED ENV{DEBEMAIL})
  set(CPACK_PACKAGE_CONTACT "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(CPACK_PACKAGE_CONTACT "movrek32 authors <movrek32@example.org>")
endif()
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
